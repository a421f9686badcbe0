#include "GameFolderCheck.h"

#include "ModFileNames.h"

using namespace ModFileNames;

ErrorOr<void> GameFolderCheck::checkInstallable(Edition edition, const GameFolder &game)
{
    TRY(checkHoldsTheGame(edition, game));
    TRY(refuseBackupLink(game));
    if (TRY(m_fileSystem.exists(game.backupFolder())))
        return RuntimeError(RuntimeErrorCode::FileAlreadyExists, game.backupFolder(),
                            {ErrorReason::BackupFolderAlreadyThere});
    return refuseRelativeArchiveLinks(game);
}

ErrorOr<void> GameFolderCheck::checkHoldsTheGame(Edition edition, const GameFolder &game)
{
    TRY(checkFolder(game));
    TRY(requireFile(game.file(Expand), {ErrorReason::NoExpandInFolder}));
    if (edition == Edition::Aftermath)
        TRY(requireFile(game.file(Expand2), {ErrorReason::NoExpand2InFolder}));
    return {};
}

ErrorOr<void> GameFolderCheck::checkFolder(const GameFolder &game)
{
    // A relative directory would be taken from the package folder: "..\" from a status file
    // would lead the removal to the folder above it.
    if (game.lacksDrive())
        return RuntimeError(RuntimeErrorCode::PathNotFound, game.directory(),
                            {ErrorReason::PathLacksDrive});
    if (!game.isFullPath())
        return RuntimeError(RuntimeErrorCode::PathNotFound, game.directory(),
                            {ErrorReason::PathNotFull});
    if (game.stepsUp())
        return RuntimeError(RuntimeErrorCode::PathNotFound, game.directory(),
                            {ErrorReason::PathStepsUp});
    switch (TRY(m_fileSystem.entryKind(game.folder()))) {
    case EntryKind::Directory:
        break;
    case EntryKind::Missing:
        return RuntimeError(RuntimeErrorCode::PathNotFound, game.directory(),
                            {ErrorReason::GameFolderMissing});
    default:
        return RuntimeError(RuntimeErrorCode::PathNotFound, game.directory(),
                            {ErrorReason::GameFolderIsAFile});
    }
    if (TRY(m_fileSystem.isSameEntry(game.folder(), ".")))
        return RuntimeError(RuntimeErrorCode::InvalidProcedureCall, game.directory(),
                            {ErrorReason::IsThePackageFolder});
    return {};
}

ErrorOr<void> GameFolderCheck::requireFile(const std::string &path, ErrorCause lacking)
{
    switch (TRY(m_fileSystem.entryKind(path))) {
    case EntryKind::File:
        return {};
    case EntryKind::Missing:
        return RuntimeError(RuntimeErrorCode::FileNotFound, path, std::move(lacking));
    default:
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            Cause::NotAPlainFileLacking{std::move(lacking)});
    }
}

// The installation moves the game's archives into the backup folder, one level down. A link that
// names its target relative to its own folder would then point somewhere else, and the copy read
// through it would not be the game's archive. A link with a full path moves as it is.
ErrorOr<void> GameFolderCheck::refuseRelativeArchiveLinks(const GameFolder &game)
{
    for (const std::string &name : {Expand, Expand2}) {
        if (TRY(m_fileSystem.linkKind(game.file(name))) == LinkKind::RelativeLink)
            return RuntimeError(RuntimeErrorCode::PathFileAccessError, game.file(name),
                                {ErrorReason::RelativeArchiveLink});
    }
    return {};
}

ErrorOr<void> GameFolderCheck::refuseBackupLink(const GameFolder &game)
{
    if (TRY(m_fileSystem.linkKind(game.backupFolder())) == LinkKind::NotALink)
        return {};
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, game.backupFolder(),
                        {ErrorReason::BackupFolderIsALink});
}
