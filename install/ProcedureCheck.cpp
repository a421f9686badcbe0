#include "ProcedureCheck.h"

#include "DigestQueue.h"
#include "GameFinder.h"
#include "GameFolderCheck.h"
#include "ManifestCopies.h"
#include "ModFileNames.h"
#include "PackageFolder.h"

using namespace ModFileNames;
using Role = ManifestEntry::Role;

namespace {

// Whether the refusal says that the folder given holds no game the edition chosen can take,
// whatever the reason: a player with no Wine prefix, or none with that drive, is as much in the
// wrong place as one who typed a folder that is not there.
bool namesNoUsableGame(const RuntimeError &refusal)
{
    switch (refusal.cause().reason()) {
    case ErrorReason::DriveNotMapped:
    case ErrorReason::ParentFolderMissing:
    case ErrorReason::GameFolderMissing:
    case ErrorReason::GameFolderIsAFile:
    case ErrorReason::PathNotFull:
    case ErrorReason::PathLacksDrive:
    case ErrorReason::PathStepsUp:
    case ErrorReason::IsThePackageFolder:
    case ErrorReason::NoExpandInFolder:
    case ErrorReason::NoExpand2InFolder:
    case ErrorReason::NotAPlainFileLacking:
        return true;
    default:
        return false;
    }
}

} // namespace

ErrorOr<void> ProcedureCheck::checkInstallable(Edition edition, const GameFolder &game)
{
    ErrorOr<void> usable = GameFolderCheck(m_fileSystem).checkInstallable(edition, game);
    if (usable.isError())
        return pointToGamesFound(usable.releaseError(), edition, game);
    for (const std::string &name : packageFiles(edition))
        TRY(requirePackageFile(name));
    return requirePackageFile(StatusFile::FileName);
}

// A player who has the game elsewhere is told where, the games with the expansion chosen first.
// A folder that could not be read is refused as it was: the fault is not the player's choice of
// folder.
RuntimeError ProcedureCheck::pointToGamesFound(RuntimeError refusal, Edition edition,
                                               const GameFolder &game)
{
    if (!namesNoUsableGame(refusal))
        return refusal;
    using Game = Cause::GamesFoundElsewhere::Game;
    std::vector<Game> games;
    std::vector<Game> others;
    for (const FoundGame &found : GameFinder(m_fileSystem).find()) {
        const ErrorOr<bool> given =
            m_fileSystem.isSameEntry(GameFolder(found.directory).folder(), game.folder());
        if (!given.isError() && given.value())
            continue;
        (found.edition == edition ? games : others).push_back({found.directory, found.edition});
    }
    games.insert(games.end(), others.begin(), others.end());
    if (games.empty())
        return refusal;
    return RuntimeError(refusal.code(), refusal.path(),
                        Cause::GamesFoundElsewhere{refusal.cause(), edition, std::move(games)});
}

ErrorOr<StatusRecord> ProcedureCheck::checkRemovable(const GameFolder &game)
{
    // An empty directory would name the package folder, whose Expand2.mix is the mod's own.
    if (game.directory().empty())
        return RuntimeError(RuntimeErrorCode::PathNotFound, StatusFile::FileName,
                            {ErrorReason::StatusNamesNoFolder});
    TRY(GameFolderCheck(m_fileSystem).checkFolder(game));
    return StatusFile(m_fileSystem).read();
}

// An earlier version of the installer left no manifest; its backup folder is taken out by the
// fixed list of the edition, once the archives it must give back are there.
ErrorOr<void> ProcedureCheck::checkEarlierBackup(Edition edition, const GameFolder &game)
{
    const auto cause = [](const std::string &name) {
        return Cause::KeptArchiveMissing{name};
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
                        Cause::EarlierInstallationIncomplete{missing});
}

// A stale copy of the package may name the other edition; its removal would delete files that
// this installation never placed, the player's own Aftrmath.ini among them.
ErrorOr<std::vector<std::string>>
ProcedureCheck::checkManifest(Edition edition, const GameFolder &game,
                              const InstallationManifest &manifest)
{
    if (manifest.edition() != edition)
        return RuntimeError(RuntimeErrorCode::InvalidProcedureCall, game.directory(),
                            Cause::EditionMismatch{edition, manifest.edition()});
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
    // A file the game holds open cannot be read either; the reader may say only that access was
    // denied.
    const ErrorReason why = ticket.error().cause().reason();
    if (why != ErrorReason::FileHeldOpen && why != ErrorReason::FileUnreadable &&
        !ticket.error().lacksRights())
        return ticket.releaseError();
    return RuntimeError(RuntimeErrorCode::PermissionDenied, path,
                        {ErrorReason::PlacedFileUnreadable});
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
                            Cause::KeptCopyMissing{kept.name});
    default:
        return damagedBackup(game, kept);
    }
}

RuntimeError ProcedureCheck::damagedBackup(const GameFolder &game, const ManifestEntry &kept)
{
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, game.backedUp(kept.name),
                        Cause::KeptCopyDamaged{kept.name});
}

// Looked for only when missing: the folder is named for the player, who may have started the
// installer from another folder than the package's.
ErrorOr<void> ProcedureCheck::requirePackageFile(const std::string &name)
{
    if (TRY(m_fileSystem.entryKind(name)) == EntryKind::File)
        return {};
    return GameFolderCheck(m_fileSystem)
        .requireFile(name, Cause::PackageIncomplete{name, PackageFolder::shownPath(m_fileSystem)});
}

ErrorOr<std::optional<InstallationManifest>> ProcedureCheck::readManifest(Edition edition,
                                                                          const GameFolder &game)
{
    return ManifestCopies(m_fileSystem, game).read(edition);
}
