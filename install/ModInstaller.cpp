#include "ModInstaller.h"

#include "DigestQueue.h"
#include "EditedFileName.h"
#include "GameFinder.h"
#include "GameFolder.h"
#include "GameFolderCheck.h"
#include "InstallationManifest.h"
#include "KeptJournals.h"
#include "ManifestDraft.h"
#include "PackageFolder.h"
#include "runtime/NativeFileOperations.h"
#include "runtime/Text.h"
#include "Transaction.h"

#include <algorithm>

using Role = ManifestEntry::Role;

namespace {

const std::string Expand = "Expand.mix";
const std::string Expand2 = "Expand2.mix";
const std::string Rules = "Rules.ini";
const std::string Aftrmath = "Aftrmath.ini";
const std::string MPlayer = "MPlayer.ini";
const std::string Title = "Title.pcx";
const std::string Vorda = "SC-Vorda.mix";

std::vector<std::string> packageFiles(Edition edition)
{
    if (edition == Edition::Aftermath)
        return {Expand2, Rules, Aftrmath, MPlayer, Title, Vorda};
    return {Expand2, Rules, Title, Vorda};
}

// The path line stays as it was, so that the status file still tells where the game is.
ErrorOr<void> markUninstalled(Transaction &transaction, const StatusRecord &status)
{
    return transaction.rewrite(StatusFile::FileName,
                               StatusFile::encode({StatusFile::Uninstalled, status.pathItem}));
}

// For a game that has only Counterstrike, a player who chose Aftermath is told what to choose.
std::string expansionOf(Edition found, Edition chosen)
{
    if (found == Edition::Aftermath)
        return "with Aftermath";
    if (chosen == Edition::Aftermath)
        return "with Counterstrike only: for it, choose the Counterstrike option";
    return "with Counterstrike";
}

RuntimeError manifestUnusable(RuntimeError error)
{
    return RuntimeError(error.code(), error.path(),
                        "BEXOM's list of the files it installed could not be read (" +
                            (error.cause().empty() ? error.description() : error.cause()) +
                            "), so the removal cannot tell what to take out.");
}

} // namespace

ErrorOr<void> ModInstaller::install(Edition edition, const std::string &gameDirectory)
{
    const GameFolder game(gameDirectory);
    TRY(checkInstallable(edition, game));
    TRY(KeptJournals(m_fileSystem).refuseWhileNamed(gameDirectory));
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
    error.setProtectedFolder(
        {game.directory(),
         host.isError() ? std::string() : NativeFileOperations::ownerName(host.value())});
    return error;
}

ErrorOr<void> ModInstaller::uninstall(Edition edition, const std::string &gameDirectory)
{
    m_keptEdits.clear();
    const GameFolder game(gameDirectory);
    const StatusRecord status = TRY(checkRemovable(game));
    TRY(KeptJournals(m_fileSystem).refuseWhileNamed(gameDirectory));
    TRY(GameFolderCheck(m_fileSystem).refuseBackupLink(game));
    const std::optional<InstallationManifest> manifest = TRY(readManifest(game));
    std::vector<std::string> edited;
    if (manifest)
        edited = TRY(checkManifest(edition, game, *manifest));
    else
        TRY(checkEarlierBackup(edition, game));
    Transaction transaction(m_fileSystem, game);
    if (manifest)
        return transaction.complete(uninstallListed(transaction, game, *manifest, edited, status));
    if (edition == Edition::Aftermath)
        return transaction.complete(uninstallAftermath(transaction, game, status));
    return transaction.complete(uninstallCounterstrike(transaction, game, status));
}

ErrorOr<void> ModInstaller::checkInstallable(Edition edition, const GameFolder &game)
{
    ErrorOr<void> usable = GameFolderCheck(m_fileSystem).checkInstallable(edition, game);
    if (usable.isError())
        return pointToGamesFound(usable.releaseError(), edition, game);
    for (const std::string &name : packageFiles(edition))
        TRY(requirePackageFile(name, name));
    return requirePackageFile(StatusFile::FileName, "the status file");
}

// A player who has the game elsewhere is told where, when the folder given is not there or holds
// no game with the expansion chosen. A folder that could not be read is refused as it was: the
// fault is not the player's choice of folder.
RuntimeError ModInstaller::pointToGamesFound(RuntimeError refusal, Edition edition,
                                             const GameFolder &game)
{
    const bool wrongFolder = refusal.code() == RuntimeErrorCode::FileNotFound ||
                             (refusal.code() == RuntimeErrorCode::PathNotFound &&
                              refusal.cause() == GameFolderCheck::FolderMissing);
    if (!wrongFolder)
        return refusal;
    std::vector<std::string> lines;
    for (const FoundGame &found : GameFinder(m_fileSystem).find()) {
        const ErrorOr<bool> given =
            m_fileSystem.isSameEntry(GameFolder(found.directory).folder(), game.folder());
        if (!given.isError() && given.value())
            continue;
        lines.push_back(found.directory + " (" + expansionOf(found.edition, edition) + ")");
    }
    if (lines.empty())
        return refusal;
    return RuntimeError(refusal.code(), refusal.path(),
                        refusal.cause() + "\nRed Alert was found in:\n" + Text::join(lines, "\n"));
}

ErrorOr<StatusRecord> ModInstaller::checkRemovable(const GameFolder &game)
{
    // An empty directory would name the package folder, whose Expand2.mix is the mod's own.
    if (game.directory().empty())
        return RuntimeError(RuntimeErrorCode::PathNotFound, StatusFile::FileName,
                            "The status file names no game folder.");
    TRY(GameFolderCheck(m_fileSystem).checkFolder(game));
    return StatusFile(m_fileSystem).read();
}

// An earlier version of the installer left no manifest; its backup folder is taken out by the
// fixed list of the edition, once the archives it must give back are there.
ErrorOr<void> ModInstaller::checkEarlierBackup(Edition edition, const GameFolder &game)
{
    const auto cause = [](const std::string &name) {
        return "BEXOM's backup folder does not hold the game's own " + name +
               ", so it could not be given back.";
    };
    TRY(GameFolderCheck(m_fileSystem).requireFile(game.backedUp(Expand), cause(Expand)));
    if (edition == Edition::Aftermath)
        TRY(GameFolderCheck(m_fileSystem).requireFile(game.backedUp(Expand2), cause(Expand2)));
    // Such an installation placed every file of the mod. Without them, this is more likely one
    // that was cut short, whose fixed list would delete files it never placed: the player's own.
    std::vector<std::string> missing;
    for (const std::string &name : packageFiles(edition)) {
        const std::string placed =
            name == Expand2 && edition == Edition::Counterstrike ? Expand : name;
        if (!TRY(m_fileSystem.exists(game.file(placed))))
            missing.push_back(placed);
    }
    if (missing.empty())
        return {};
    return RuntimeError(RuntimeErrorCode::FileNotFound, game.file(missing.front()),
                        "BEXOM's backup folder holds no list of the files BEXOM installed, and the "
                        "game folder lacks " +
                            Text::join(missing, ", ") +
                            ", which an earlier version's installation leaves, so the removal "
                            "cannot tell what to take out. If you deleted them yourself, copy "
                            "them back from the BEXOM package and try again.");
}

// A stale copy of the package may name the other edition; its removal would delete files that
// this installation never placed, the player's own Aftrmath.ini among them.
ErrorOr<std::vector<std::string>> ModInstaller::checkManifest(Edition edition,
                                                              const GameFolder &game,
                                                              const InstallationManifest &manifest)
{
    if (manifest.edition() != edition)
        return RuntimeError(RuntimeErrorCode::InvalidProcedureCall, game.directory(),
                            "The status file says BEXOM was installed for " + editionName(edition) +
                                ", but the game folder holds the " +
                                editionName(manifest.edition()) + " installation.");
    // Every kept file is opened first, in turn, and the digests are read side by side.
    DigestQueue digests(m_fileSystem);
    const std::vector<ManifestEntry> kept = manifest.entries(Role::Kept);
    std::vector<std::size_t> tickets;
    for (const ManifestEntry &entry : kept)
        tickets.push_back(TRY(openKeptFile(game, entry, digests)));
    const std::vector<ManifestEntry> placed = manifest.entries(Role::Placed);
    std::vector<std::optional<std::size_t>> placedTickets;
    for (const ManifestEntry &entry : placed)
        placedTickets.push_back(TRY(openPlacedFile(game, entry, digests)));
    for (std::size_t index = 0; index < kept.size(); ++index)
        if (TRY(digests.result(tickets[index])) != kept[index].digest)
            return damagedBackup(game, kept[index]);
    std::vector<std::string> edited;
    for (std::size_t index = 0; index < placed.size(); ++index)
        if (placedTickets[index] &&
            TRY(digests.result(*placedTickets[index])) != placed[index].digest)
            edited.push_back(placed[index].name);
    return edited;
}

// A link or a folder at a placed file's name was never the mod's file to keep; it goes aside as
// before.
ErrorOr<std::optional<std::size_t>> ModInstaller::openPlacedFile(const GameFolder &game,
                                                                 const ManifestEntry &placed,
                                                                 DigestQueue &digests)
{
    const std::string path = game.file(placed.name);
    if (TRY(m_fileSystem.linkKind(path)) != LinkKind::NotALink ||
        TRY(m_fileSystem.entryKind(path)) != EntryKind::File)
        return std::optional<std::size_t>();
    ErrorOr<std::size_t> ticket = digests.add(path);
    if (!ticket.isError())
        return std::optional(ticket.value());
    // A file the game holds open cannot be read either; the reader says only that access was
    // denied.
    if (ticket.error().code() != RuntimeErrorCode::PermissionDenied)
        return ticket.releaseError();
    return RuntimeError(RuntimeErrorCode::PermissionDenied, path,
                        "BEXOM could not read its file to tell whether you changed it: another "
                        "program may have it open (the game may be running), or it may not be "
                        "readable. Close the game and try again.");
}

ErrorOr<std::size_t> ModInstaller::openKeptFile(const GameFolder &game, const ManifestEntry &kept,
                                                DigestQueue &digests)
{
    const std::string path = game.backedUp(kept.name);
    // A link is compared by the target it names, which may be gone.
    const bool link = TRY(m_fileSystem.linkKind(path)) != LinkKind::NotALink;
    switch (link ? EntryKind::File : TRY(m_fileSystem.entryKind(path))) {
    case EntryKind::File:
        return digests.add(path);
    case EntryKind::Missing:
        return RuntimeError(RuntimeErrorCode::FileNotFound, path,
                            "BEXOM's backup copy of the game's own " + kept.name +
                                " is missing, so the game could not be given back.");
    default:
        return damagedBackup(game, kept);
    }
}

RuntimeError ModInstaller::damagedBackup(const GameFolder &game, const ManifestEntry &kept)
{
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, game.backedUp(kept.name),
                        "BEXOM's backup copy of the game's own " + kept.name +
                            " is damaged (it is not the file the installation kept), so the game "
                            "could not be given back.");
}

// Looked for only when missing: the folder is named for the player, who may have started the
// installer from another folder than the package's.
ErrorOr<void> ModInstaller::requirePackageFile(const std::string &name, const std::string &what)
{
    if (TRY(m_fileSystem.entryKind(name)) == EntryKind::File)
        return {};
    return GameFolderCheck(m_fileSystem)
        .requireFile(name, "The BEXOM package is incomplete: " + what + " must stand in " +
                               PackageFolder::described(m_fileSystem) + ".");
}

ErrorOr<std::optional<InstallationManifest>> ModInstaller::readManifest(const GameFolder &game)
{
    const std::string path = game.backedUp(InstallationManifest::FileName);
    switch (TRY(m_fileSystem.entryKind(path))) {
    case EntryKind::Missing:
        return std::optional<InstallationManifest>();
    case EntryKind::File:
        break;
    default:
        return manifestUnusable(
            RuntimeError(RuntimeErrorCode::PathFileAccessError, path, "it is not a plain file"));
    }
    ErrorOr<std::string> bytes = m_fileSystem.readFile(path);
    if (bytes.isError())
        return manifestUnusable(bytes.releaseError());
    return std::optional(TRY(InstallationManifest::parse(bytes.value(), path)));
}

ErrorOr<void> ModInstaller::installAftermath(Transaction &transaction, const GameFolder &game)
{
    TRY(transaction.rewrite(StatusFile::FileName,
                            StatusFile::encode(StatusFile::Aftermath, game.directory())));
    ManifestDraft manifest(m_fileSystem, Edition::Aftermath);
    TRY(transaction.makeDirectory(game.backupFolder()));
    const std::string expand = TRY(keepGameFile(transaction, game, manifest, Expand));
    // The backup folder keeps the game's own Expand2.mix itself and the game plays a copy of it
    // under the name of the archive just set aside. A copy is the one file a power cut can leave
    // half written, so it must never be the one the removal gives back.
    const std::string expand2 = TRY(keepGameFile(transaction, game, manifest, Expand2));
    const std::vector<std::string> modFiles{Expand2, Rules, Aftrmath, MPlayer, Title, Vorda};
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
    TRY(transaction.rewrite(StatusFile::FileName,
                            StatusFile::encode(StatusFile::Counterstrike, game.directory())));
    ManifestDraft manifest(m_fileSystem, Edition::Counterstrike);
    TRY(transaction.makeDirectory(game.backupFolder()));
    const std::string expand = TRY(keepGameFile(transaction, game, manifest, Expand));
    // A game with Aftermath has an Expand2.mix of its own; the backup folder keeps it.
    TRY(keepPlayersFile(transaction, game, manifest, Expand2));
    // The mod's archive ends up under the name Expand.mix.
    TRY(manifest.add(Role::Placed, expand, Expand2));
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
    // flushed together.
    std::vector<std::string> deleted;
    for (const ManifestEntry &placed : manifest.entries(Role::Placed)) {
        if (std::find(edited.begin(), edited.end(), placed.name) != edited.end())
            TRY(keepEditedFile(transaction, game, placed.name));
        else if (TRY(m_fileSystem.exists(game.file(placed.name))))
            deleted.push_back(game.file(placed.name));
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
    TRY(manifest.add(Role::Kept, stored, game.backedUp(stored)));
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
// the package file's bytes, so the package file's digest is the copy's, and the copy is never read
// back.
ErrorOr<void> ModInstaller::copyModFiles(Transaction &transaction, const GameFolder &game,
                                         ManifestDraft &manifest,
                                         const std::vector<std::string> &names,
                                         std::vector<Transaction::FileCopy> copies)
{
    for (const std::string &name : names) {
        TRY(keepPlayersFile(transaction, game, manifest, name));
        copies.push_back({name, game.file(name)});
    }
    // Each package file is read for its digest while the copies are made, not after them.
    for (const std::string &name : names)
        TRY(manifest.add(Role::Placed, name, name));
    return transaction.copyAll(copies);
}

// Written last, and on the disk before the commit record: a manifest that is there names every
// file of a whole installation.
ErrorOr<void> ModInstaller::writeManifest(Transaction &transaction, const GameFolder &game,
                                          ManifestDraft &manifest)
{
    const InstallationManifest whole = TRY(manifest.finish());
    return transaction.createFile(game.backedUp(InstallationManifest::FileName), whole.encode());
}

// The backup folder must be empty before it can go, and a deleted file waits beside itself until
// the commit; so the manifest leaves the folder first and is deleted in the game folder.
ErrorOr<void> ModInstaller::removeManifest(Transaction &transaction, const GameFolder &game)
{
    const std::string outside = game.file(InstallationManifest::FileName);
    TRY(transaction.move(game.backedUp(InstallationManifest::FileName), outside));
    return transaction.deleteFile(outside);
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
    while (TRY(m_fileSystem.exists(EditedFileName::of(name, number))))
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
