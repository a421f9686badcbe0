#include "InstallationCheck.h"

#include "GameFolder.h"
#include "ManifestCopies.h"
#include "StatusFile.h"

bool InstallationFindings::allIntact() const
{
    if (!edition)
        return true;
    if (manifest == Manifest::NoneFound || manifestEdition)
        return false;
    for (const FileFinding &file : files)
        if (file.state != FileFinding::State::Intact)
            return false;
    return true;
}

ErrorOr<InstallationFindings> InstallationCheck::check()
{
    const StatusRecord status = TRY(StatusFile(m_fileSystem).read());
    InstallationFindings findings;
    if (status.statusItem == StatusFile::Uninstalled)
        return findings;
    // Any other status is taken for Counterstrike, as the removal takes it.
    findings.edition =
        status.statusItem == StatusFile::Aftermath ? Edition::Aftermath : Edition::Counterstrike;
    findings.gameDirectory = status.gameDirectory();
    const GameFolder game(findings.gameDirectory);
    const std::optional<InstallationManifest> manifest =
        TRY(ManifestCopies(m_fileSystem, game).read(*findings.edition));
    if (!manifest)
        return findings;
    findings.manifest = InstallationFindings::Manifest::Found;
    if (manifest->edition() != *findings.edition)
        findings.manifestEdition = manifest->edition();
    for (const ManifestEntry &entry : manifest->entries()) {
        const std::string path = entry.role == ManifestEntry::Role::Placed
                                     ? game.file(entry.name)
                                     : game.backedUp(entry.name);
        const auto state = TRY(stateOf(path, entry.digest));
        findings.files.push_back({entry, path, state});
    }
    return findings;
}

// A link or a folder at the file's name is not the file the installation left there.
ErrorOr<FileFinding::State> InstallationCheck::stateOf(const std::string &path,
                                                       const FileDigest &digest)
{
    if (TRY(m_fileSystem.linkKind(path)) != LinkKind::NotALink)
        return FileFinding::State::Changed;
    switch (TRY(m_fileSystem.entryKind(path))) {
    case EntryKind::Missing:
        return FileFinding::State::Missing;
    case EntryKind::File:
        break;
    default:
        return FileFinding::State::Changed;
    }
    return TRY(m_fileSystem.digest(path)) == digest ? FileFinding::State::Intact
                                                    : FileFinding::State::Changed;
}
