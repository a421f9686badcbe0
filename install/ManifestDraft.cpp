#include "ManifestDraft.h"

#include <algorithm>

ErrorOr<void> ManifestDraft::add(ManifestEntry::Role role, const std::string &name,
                                 const std::string &path)
{
    const auto readAhead = m_readAhead.find(path);
    const std::size_t ticket =
        readAhead != m_readAhead.end() ? readAhead->second : TRY(m_digests.add(path));
    m_entries.push_back({role, name, ticket});
    return {};
}

ErrorOr<void> ManifestDraft::readAhead(const std::vector<std::string> &paths)
{
    for (const std::string &path : paths)
        m_readAhead.emplace(path, TRY(m_digests.add(path)));
    return {};
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
        const FileDigest digest = TRY(m_digests.result(entry.ticket));
        manifest.add({entry.role, entry.name, digest});
    }
    return manifest;
}
