#include "ProcedureCheck.h"

#include "DigestQueue.h"
#include "GameFinder.h"
#include "GameFolderCheck.h"
#include "PackageFolder.h"
#include "runtime/Text.h"

using Role = ManifestEntry::Role;

namespace {

const std::string Expand = "Expand.mix";
const std::string Expand2 = "Expand2.mix";
const std::string Rules = "Rules.ini";
const std::string Aftrmath = "Aftrmath.ini";
const std::string MPlayer = "MPlayer.ini";
const std::string Title = "Title.pcx";
const std::string Vorda = "SC-Vorda.mix";

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

std::vector<std::string> packageFiles(Edition edition)
{
    if (edition == Edition::Aftermath)
        return {Expand2, Rules, Aftrmath, MPlayer, Title, Vorda};
    return {Expand2, Rules, Title, Vorda};
}

} // namespace

ErrorOr<void> ProcedureCheck::checkInstallable(Edition edition, const GameFolder &game)
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
RuntimeError ProcedureCheck::pointToGamesFound(RuntimeError refusal, Edition edition,
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

ErrorOr<StatusRecord> ProcedureCheck::checkRemovable(const GameFolder &game)
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
ErrorOr<void> ProcedureCheck::checkEarlierBackup(Edition edition, const GameFolder &game)
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
ErrorOr<std::vector<std::string>>
ProcedureCheck::checkManifest(Edition edition, const GameFolder &game,
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
ErrorOr<std::optional<std::size_t>> ProcedureCheck::openPlacedFile(const GameFolder &game,
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

ErrorOr<std::size_t> ProcedureCheck::openKeptFile(const GameFolder &game, const ManifestEntry &kept,
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

RuntimeError ProcedureCheck::damagedBackup(const GameFolder &game, const ManifestEntry &kept)
{
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, game.backedUp(kept.name),
                        "BEXOM's backup copy of the game's own " + kept.name +
                            " is damaged (it is not the file the installation kept), so the game "
                            "could not be given back.");
}

// Looked for only when missing: the folder is named for the player, who may have started the
// installer from another folder than the package's.
ErrorOr<void> ProcedureCheck::requirePackageFile(const std::string &name, const std::string &what)
{
    if (TRY(m_fileSystem.entryKind(name)) == EntryKind::File)
        return {};
    return GameFolderCheck(m_fileSystem)
        .requireFile(name, "The BEXOM package is incomplete: " + what + " must stand in " +
                               PackageFolder::described(m_fileSystem) + ".");
}

ErrorOr<std::optional<InstallationManifest>> ProcedureCheck::readManifest(const GameFolder &game)
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
