#include "ModInstaller.h"

#include "EditedFileName.h"
#include "GameFolder.h"
#include "GameFolderCheck.h"
#include "InstallationManifest.h"
#include "KeptJournals.h"
#include "ManifestCopies.h"
#include "ManifestDraft.h"
#include "ModFileNames.h"
#include "PackageFolder.h"
#include "ProcedureCheck.h"
#include "runtime/NativeFileOperations.h"
#include "Transaction.h"

#include <algorithm>

using namespace ModFileNames;
using Role = ManifestEntry::Role;

namespace {

// The path line stays as it was, so that the status file still tells where the game is.
ErrorOr<void> markUninstalled(Transaction &transaction, const StatusRecord &status)
{
    return transaction.rewrite(StatusFile::FileName,
                               StatusFile::encode({StatusFile::Uninstalled, status.pathItem}));
}

} // namespace

ErrorOr<void> ModInstaller::checkInstallable(Edition edition, const std::string &gameDirectory)
{
    TRY(ProcedureCheck(m_fileSystem).checkInstallable(edition, GameFolder(gameDirectory)));
    return KeptJournals(m_fileSystem).refuseWhileNamed(gameDirectory);
}

// The checks run again: the folder may have changed while the player was answering.
ErrorOr<void> ModInstaller::install(Edition edition, const std::string &gameDirectory)
{
    TRY(checkInstallable(edition, gameDirectory));
    const GameFolder game(gameDirectory);
    Transaction transaction(m_fileSystem, game);
    if (edition == Edition::Aftermath)
        return nameProtectedFolder(transaction.complete(installAftermath(transaction, game)), game);
    return nameProtectedFolder(transaction.complete(installCounterstrike(transaction, game)), game);
}

// A game under Program Files, or installed from a CD by another user, may be read by everyone
// but changed only by an administrator or its owner: the player is told whom to ask.
ErrorOr<void> ModInstaller::nameProtectedFolder(ErrorOr<void> outcome, const GameFolder &game)
{
    if (!outcome.isError() || !outcome.error().lacksRights() ||
        !outcome.error().path().starts_with(game.directory()))
        return outcome;
    RuntimeError error = outcome.releaseError();
    const ErrorOr<std::filesystem::path> host = m_fileSystem.hostPath(game.folder());
    error.setProtectedFolder({game.directory(), host.isError()
                                                    ? FolderOwner()
                                                    : NativeFileOperations::owner(host.value())});
    return error;
}

ErrorOr<void> ModInstaller::uninstall(Edition edition, const std::string &gameDirectory)
{
    m_keptEdits.clear();
    const GameFolder game(gameDirectory);
    ProcedureCheck check(m_fileSystem);
    const StatusRecord status = TRY(check.checkRemovable(game));
    TRY(KeptJournals(m_fileSystem).refuseWhileNamed(gameDirectory));
    TRY(GameFolderCheck(m_fileSystem).refuseBackupLink(game));
    const std::optional<InstallationManifest> manifest = TRY(check.readManifest(edition, game));
    std::vector<std::string> edited;
    if (manifest)
        edited = TRY(check.checkManifest(edition, game, *manifest));
    else
        TRY(check.checkEarlierBackup(edition, game));
    Transaction transaction(m_fileSystem, game);
    if (manifest)
        return transaction.complete(uninstallListed(transaction, game, *manifest, edited, status));
    if (edition == Edition::Aftermath)
        return transaction.complete(uninstallAftermath(transaction, game, status));
    return transaction.complete(uninstallCounterstrike(transaction, game, status));
}

// The game's files to keep and the package files are read for their digests from the first step
// on, once the transaction holds the folders and their listings: hashing them takes longer than
// the steps before their copies, most of which wait for the disk. The game's archives go first,
// to be hashed side by side on one thread while another takes the mod's.
ErrorOr<void> ModInstaller::installAftermath(Transaction &transaction, const GameFolder &game)
{
    const std::vector<std::string> modFiles = packageFiles(Edition::Aftermath);
    ManifestDraft manifest(m_fileSystem, Edition::Aftermath);
    TRY(transaction.rewrite(StatusFile::FileName,
                            StatusFile::encode(StatusFile::Aftermath, game.directory())));
    TRY(manifest.readAheadKept({game.file(Expand), game.file(Expand2)}));
    TRY(manifest.readAhead(modFiles));
    TRY(transaction.makeDirectory(game.backupFolder()));
    const std::string expand = TRY(keepGameFile(transaction, game, manifest, Expand));
    // The backup folder keeps the game's own Expand2.mix itself and the game plays a copy of it
    // under the name of the archive just set aside. A copy is the one file a power cut can leave
    // half written, so it must never be the one the removal gives back.
    const std::string expand2 = TRY(keepGameFile(transaction, game, manifest, Expand2));
    TRY(copyModFiles(transaction, game, manifest, modFiles,
                     {{game.backedUp(expand2), game.file(expand)}}));
    // A copy made through a link holds the bytes of the link's target, whereas the link's own
    // digest is that of the target's name; the removal would take the copy for the player's work.
    if (TRY(m_fileSystem.linkKind(game.backedUp(expand2))) == LinkKind::NotALink)
        manifest.addCopy(Role::Placed, expand, expand2);
    else
        TRY(manifest.add(Role::Placed, expand, game.file(expand)));
    return writeManifest(transaction, game, manifest);
}

ErrorOr<void> ModInstaller::installCounterstrike(Transaction &transaction, const GameFolder &game)
{
    ManifestDraft manifest(m_fileSystem, Edition::Counterstrike);
    TRY(transaction.rewrite(StatusFile::FileName,
                            StatusFile::encode(StatusFile::Counterstrike, game.directory())));
    std::vector<std::string> kept{game.file(Expand)};
    if (TRY(m_fileSystem.exists(game.file(Expand2))))
        kept.push_back(game.file(Expand2));
    TRY(manifest.readAheadKept(kept));
    TRY(manifest.readAhead(packageFiles(Edition::Counterstrike)));
    TRY(transaction.makeDirectory(game.backupFolder()));
    const std::string expand = TRY(keepGameFile(transaction, game, manifest, Expand));
    // A game with Aftermath has an Expand2.mix of its own; the backup folder keeps it.
    TRY(keepPlayersFile(transaction, game, manifest, Expand2));
    // The mod's archive ends up under the name Expand.mix.
    manifest.addPlaced(expand, Expand2, game.file(expand));
    TRY(copyModFiles(transaction, game, manifest, {Rules, Title, Vorda},
                     {{Expand2, game.file(Expand2)}}));
    TRY(transaction.move(game.file(Expand2), game.file(expand)));
    return writeManifest(transaction, game, manifest);
}

// Every kept file was found whole before the transaction began. A placed file the player has
// deleted already is simply not there to take out.
ErrorOr<void> ModInstaller::uninstallListed(Transaction &transaction, const GameFolder &game,
                                            const InstallationManifest &manifest,
                                            const std::vector<std::string> &edited,
                                            const StatusRecord &status)
{
    // The files to delete are set aside together, so that their journal records are written and
    // flushed together. Each was found to hold what the installation placed.
    std::vector<Transaction::FileDeletion> deleted;
    for (const ManifestEntry &placed : manifest.entries(Role::Placed)) {
        if (std::find(edited.begin(), edited.end(), placed.name) != edited.end())
            TRY(keepEditedFile(transaction, game, placed.name));
        else if (TRY(m_fileSystem.exists(game.file(placed.name))))
            deleted.push_back({game.file(placed.name), placed.digest});
    }
    TRY(transaction.deleteAll(deleted));
    for (const ManifestEntry &kept : manifest.entries(Role::Kept))
        TRY(giveBackKeptFile(transaction, game, kept.name));
    TRY(removeManifest(transaction, game));
    TRY(transaction.removeDirectory(game.backupFolder()));
    return markUninstalled(transaction, status);
}

ErrorOr<void> ModInstaller::uninstallAftermath(Transaction &transaction, const GameFolder &game,
                                               const StatusRecord &status)
{
    TRY(deleteModFile(transaction, game, Expand));
    TRY(deleteModFile(transaction, game, Expand2));
    TRY(takeBackModFile(transaction, game, Vorda));
    TRY(takeBackModFile(transaction, game, Title));
    TRY(takeBackModFile(transaction, game, Rules));
    TRY(takeBackModFile(transaction, game, Aftrmath));
    TRY(takeBackModFile(transaction, game, MPlayer));
    TRY(giveBackKeptFile(transaction, game, Expand));
    TRY(giveBackKeptFile(transaction, game, Expand2));
    TRY(transaction.removeDirectory(game.backupFolder()));
    return markUninstalled(transaction, status);
}

ErrorOr<void> ModInstaller::uninstallCounterstrike(Transaction &transaction, const GameFolder &game,
                                                   const StatusRecord &status)
{
    TRY(deleteModFile(transaction, game, Expand));
    TRY(takeBackModFile(transaction, game, Vorda));
    TRY(takeBackModFile(transaction, game, Title));
    TRY(takeBackModFile(transaction, game, Rules));
    TRY(giveBackKeptFile(transaction, game, Expand));
    // The Expand2.mix of a game with Aftermath, if the installation kept one.
    TRY(giveBackKeptFile(transaction, game, Expand2));
    TRY(transaction.removeDirectory(game.backupFolder()));
    return markUninstalled(transaction, status);
}

// Moves the game's file into the backup folder under the name it has, letter case and all, and
// records what it holds, for the removal to check before it gives the file back.
ErrorOr<std::string> ModInstaller::keepGameFile(Transaction &transaction, const GameFolder &game,
                                                ManifestDraft &manifest, const std::string &name)
{
    const std::string stored = TRY(m_fileSystem.storedName(game.file(name)));
    TRY(transaction.move(game.file(name), game.backedUp(stored)));
    TRY(manifest.addKept(stored, game.file(name), game.backedUp(stored)));
    return stored;
}

// A file of that name already in the game folder is the player's own (a tuned Rules.ini, say):
// the backup folder keeps it until the removal gives it back.
ErrorOr<void> ModInstaller::keepPlayersFile(Transaction &transaction, const GameFolder &game,
                                            ManifestDraft &manifest, const std::string &name)
{
    if (TRY(m_fileSystem.exists(game.file(name))))
        TRY(keepGameFile(transaction, game, manifest, name));
    return {};
}

// The copies are made together, after the player's own files of those names have gone to the
// backup folder, so that their journal records are written and flushed together. A copy holds
// the package file's bytes, so the package file's digest is the copy's, and the copy is read back
// only when the package file has changed since it was read.
ErrorOr<void> ModInstaller::copyModFiles(Transaction &transaction, const GameFolder &game,
                                         ManifestDraft &manifest,
                                         const std::vector<std::string> &names,
                                         std::vector<Transaction::FileCopy> copies)
{
    for (const std::string &name : names) {
        TRY(keepPlayersFile(transaction, game, manifest, name));
        copies.push_back({name, game.file(name)});
    }
    for (const std::string &name : names)
        manifest.addPlaced(name, name, game.file(name));
    return transaction.copyAll(copies);
}

// Written last, and on the disk before the commit record: a manifest that is there names every
// file of a whole installation.
ErrorOr<void> ModInstaller::writeManifest(Transaction &transaction, const GameFolder &game,
                                          ManifestDraft &manifest)
{
    return ManifestCopies(m_fileSystem, game).write(transaction, TRY(manifest.finish()));
}

ErrorOr<void> ModInstaller::removeManifest(Transaction &transaction, const GameFolder &game)
{
    return ManifestCopies(m_fileSystem, game).remove(transaction);
}

// The player may have deleted a file of the mod already; then there is nothing to take out.
ErrorOr<void> ModInstaller::deleteModFile(Transaction &transaction, const GameFolder &game,
                                          const std::string &name)
{
    if (!TRY(m_fileSystem.exists(game.file(name))))
        return {};
    return transaction.deleteFile(game.file(name));
}

// The player's changes to a file of the mod go to the package folder, never over a file there.
// The move is a step of the transaction, so a removal that fails later brings the file back.
ErrorOr<void> ModInstaller::keepEditedFile(Transaction &transaction, const GameFolder &game,
                                           const std::string &name)
{
    int number = 1;
    while (!TRY(m_fileSystem.isFreeName(EditedFileName::of(name, number))))
        ++number;
    const std::string keptAs = EditedFileName::of(name, number);
    std::string path = TRY(PackageFolder::pathOf(m_fileSystem, keptAs));
    TRY(transaction.move(game.file(name), keptAs));
    m_keptEdits.push_back({name, keptAs, std::move(path)});
    return {};
}

ErrorOr<void> ModInstaller::takeBackModFile(Transaction &transaction, const GameFolder &game,
                                            const std::string &name)
{
    TRY(deleteModFile(transaction, game, name));
    return giveBackKeptFile(transaction, game, name);
}

ErrorOr<void> ModInstaller::giveBackKeptFile(Transaction &transaction, const GameFolder &game,
                                             const std::string &name)
{
    if (!TRY(m_fileSystem.exists(game.backedUp(name))))
        return {};
    // Under the name it had before the installation, letter case and all.
    const std::string stored = TRY(m_fileSystem.storedName(game.backedUp(name)));
    return transaction.move(game.backedUp(name), game.file(stored));
}
