#include "ManifestCopies.h"

#include "ModFileNames.h"
#include "runtime/Text.h"
#include "Transaction.h"

#include <algorithm>

namespace {

// Named without a folder, the copy is the package folder's, beside the status file.
const std::string &InPackage = InstallationManifest::FileName;

RuntimeError manifestUnusable(const RuntimeError &error)
{
    return RuntimeError(error.code(), error.path(), Cause::ManifestUnreadable{error.cause()});
}

bool isGameArchive(const std::string &name)
{
    return Text::equalsIgnoringCase(name, ModFileNames::Expand) ||
           Text::equalsIgnoringCase(name, ModFileNames::Expand2);
}

} // namespace

ErrorOr<std::optional<InstallationManifest>> ManifestCopies::read(Edition edition)
{
    const Copy inBackup = TRY(readCopy(m_game.backedUp(InstallationManifest::FileName)));
    if (inBackup.manifest)
        return inBackup.manifest;
    const Copy inPackage = TRY(readCopy(InPackage));
    if (inPackage.manifest)
        return inPackage.manifest;
    if (inBackup.damage)
        return withWayByHand(*inBackup.damage, edition);
    if (inPackage.damage)
        return withWayByHand(*inPackage.damage, edition);
    return std::optional<InstallationManifest>();
}

ErrorOr<ManifestCopies::Copy> ManifestCopies::readCopy(const std::string &path)
{
    switch (TRY(m_fileSystem.entryKind(path))) {
    case EntryKind::Missing:
        return Copy{};
    case EntryKind::File:
        break;
    default:
        return Copy{{},
                    RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                                 Cause::ManifestUnreadable{{ErrorReason::ManifestNotAPlainFile}})};
    }
    ErrorOr<std::string> bytes = m_fileSystem.readFile(path);
    if (bytes.isError())
        return manifestUnusable(bytes.error());
    ErrorOr<InstallationManifest> manifest = InstallationManifest::parse(bytes.value(), path);
    if (manifest.isError())
        return Copy{{}, manifest.releaseError()};
    return Copy{manifest.releaseValue(), {}};
}

// The way by hand: the mod's files in the game folder go, and then everything in the backup folder
// goes back into the game folder under its own name. The mod's files go first, so that none stands
// in the way of a file of the game's whose name differs from it only in letter case.
RuntimeError ManifestCopies::withWayByHand(const RuntimeError &error, Edition edition)
{
    const ErrorOr<std::vector<std::string>> listing =
        m_fileSystem.entryNames(m_game.backupFolder());
    const ErrorOr<std::vector<std::string>> placed = placedFiles(edition);
    if (listing.isError() || placed.isError())
        return error;
    std::vector<std::string> names = listing.value();
    std::sort(names.begin(), names.end());
    std::vector<std::string> games;
    std::vector<std::string> players;
    for (const std::string &name : names)
        if (isGameArchive(name))
            games.push_back(name);
        else if (InstallationManifest::isKnownName(name))
            players.push_back(name);
    return RuntimeError(error.code(), error.path(),
                        Cause::NoManifestServes{error.cause(), m_game.backupFolder(),
                                                m_game.directory(), InPackage, games, players,
                                                placed.value()});
}

// Those of the names an installation of the edition gives the mod's files that the game folder
// holds, as it spells them.
ErrorOr<std::vector<std::string>> ManifestCopies::placedFiles(Edition edition)
{
    std::vector<std::string> found;
    for (const std::string &name : ModFileNames::placedNames(edition))
        if (TRY(m_fileSystem.exists(m_game.file(name))))
            found.push_back(TRY(m_fileSystem.storedName(m_game.file(name))));
    return found;
}

// A copy in the package folder that no installation wrote now is one the player left after
// finishing a removal by hand; the status file says nothing is installed.
ErrorOr<void> ManifestCopies::write(Transaction &transaction, const InstallationManifest &manifest)
{
    const std::string bytes = manifest.encode();
    TRY(transaction.createFile(m_game.backedUp(InstallationManifest::FileName), bytes));
    if (TRY(m_fileSystem.exists(InPackage)))
        TRY(transaction.deleteFile(InPackage));
    return transaction.createFile(InPackage, bytes);
}

// The backup folder must be empty before it can go, and a deleted file waits beside itself until
// the commit; so the manifest leaves the folder first and is deleted in the game folder.
ErrorOr<void> ManifestCopies::remove(Transaction &transaction)
{
    const std::string inBackup = m_game.backedUp(InstallationManifest::FileName);
    if (TRY(m_fileSystem.exists(inBackup))) {
        const std::string outside = m_game.file(InstallationManifest::FileName);
        TRY(transaction.move(inBackup, outside));
        TRY(transaction.deleteFile(outside));
    }
    if (TRY(m_fileSystem.exists(InPackage)))
        TRY(transaction.deleteFile(InPackage));
    return {};
}
