#include "ManifestDraft.h"

#include <algorithm>

ErrorOr<void> ManifestDraft::add(ManifestEntry::Role role, const std::string &name,
                                 const std::string &path)
{
    const std::size_t ticket = TRY(m_digests.add(path));
    m_entries.push_back({role, name, ticket});
    return {};
}

void ManifestDraft::addPlaced(const std::string &name, const std::string &source,
                              const std::string &placedAt)
{
    m_entries.push_back(
        {ManifestEntry::Role::Placed, name, m_readAhead.at(source).ticket, source, placedAt});
}

// Each file is stamped before it is opened, so that a write at any time after shows in the stamp
// taken once the copy and the reading are done.
ErrorOr<void> ManifestDraft::readAhead(const std::vector<std::string> &paths)
{
    for (const std::string &path : paths) {
        const FileStamp stamp = TRY(m_fileSystem.stamp(path));
        const std::size_t ticket = TRY(m_digests.add(path));
        m_readAhead.emplace(path, ReadAhead{ticket, stamp});
    }
    return {};
}

ErrorOr<void> ManifestDraft::readAheadKept(const std::vector<std::string> &paths)
{
    for (const std::string &path : paths) {
        const std::size_t ticket = TRY(m_digests.add(path));
        m_keptAhead.emplace(path, ticket);
    }
    return {};
}

// Another file may have been put at the name between the opening and the move, or the move may
// have been a copy to another file system.
ErrorOr<void> ManifestDraft::addKept(const std::string &name, const std::string &from,
                                     const std::string &path)
{
    const auto ahead = m_keptAhead.find(from);
    if (ahead != m_keptAhead.end()) {
        const std::optional<FileIdentity> &opened = m_digests.identity(ahead->second);
        if (opened && opened->isSameAs(TRY(m_fileSystem.identity(path)))) {
            m_entries.push_back({ManifestEntry::Role::Kept, name, ahead->second});
            return {};
        }
    }
    return add(ManifestEntry::Role::Kept, name, path);
}

void ManifestDraft::addCopy(ManifestEntry::Role role, const std::string &name,
                            const std::string &original)
{
    const auto source = std::find_if(m_entries.begin(), m_entries.end(),
                                     [&](const Entry &entry) { return entry.name == original; });
    m_entries.push_back({role, name, source->ticket});
}

ErrorOr<InstallationManifest> ManifestDraft::finish()
{
    InstallationManifest manifest(m_edition);
    for (const Entry &entry : m_entries) {
        const FileDigest digest = TRY(digestOf(entry));
        manifest.add({entry.role, entry.name, digest});
    }
    return manifest;
}

// A package file updated while the installation ran, say by a download still going on, holds
// other bytes than its copy; read again, the copy is what the removal will find.
ErrorOr<FileDigest> ManifestDraft::digestOf(const Entry &entry)
{
    const FileDigest digest = TRY(m_digests.result(entry.ticket));
    if (entry.source.empty())
        return digest;
    const FileStamp now = TRY(m_fileSystem.stamp(entry.source));
    if (m_readAhead.at(entry.source).stamp.isSettledAndSameAs(now))
        return digest;
    return m_fileSystem.digest(entry.placedAt);
}
