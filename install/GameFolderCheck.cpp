#include "GameFolderCheck.h"

#include "runtime/HeldFolder.h"

namespace {

const std::string Expand = "Expand.mix";
const std::string Expand2 = "Expand2.mix";

} // namespace

ErrorOr<void> GameFolderCheck::checkInstallable(Edition edition, const GameFolder &game)
{
    TRY(checkHoldsTheGame(edition, game));
    TRY(refuseBackupLink(game));
    if (TRY(m_fileSystem.exists(game.backupFolder())))
        return RuntimeError(RuntimeErrorCode::FileAlreadyExists, game.backupFolder(),
                            "BEXOM's backup folder is already there, but this "
                            "package's status file says BEXOM is not installed, so "
                            "Uninstall will not use the folder either. If BEXOM was "
                            "installed from another copy of its package, uninstall it "
                            "from there. Otherwise move the game's archives in the "
                            "folder back into the game folder, replacing those there, "
                            "delete the folder and install again.");
    return refuseRelativeArchiveLinks(game);
}

ErrorOr<void> GameFolderCheck::checkHoldsTheGame(Edition edition, const GameFolder &game)
{
    TRY(checkFolder(game));
    TRY(requireFile(game.file(Expand),
                    "There is no Expand.mix in this folder, so it is not the folder "
                    "of Red Alert with an expansion."));
    if (edition == Edition::Aftermath)
        TRY(requireFile(game.file(Expand2),
                        "There is no Expand2.mix in this folder, so Aftermath is "
                        "not installed there. For a game without Aftermath, choose "
                        "the Counterstrike option."));
    return {};
}

ErrorOr<void> GameFolderCheck::checkFolder(const GameFolder &game)
{
    // A relative directory would be taken from the package folder: "..\" from a status file
    // would lead the removal to the folder above it.
    if (!game.isFullPath())
        return RuntimeError(RuntimeErrorCode::PathNotFound, game.directory(),
                            "The game folder must be given as a full path, such as "
                            "C:\\WESTWOOD\\REDALERT\\.");
    switch (TRY(m_fileSystem.entryKind(game.folder()))) {
    case EntryKind::Directory:
        break;
    case EntryKind::Missing:
        return RuntimeError(RuntimeErrorCode::PathNotFound, game.directory(), FolderMissing);
    default:
        return RuntimeError(RuntimeErrorCode::PathNotFound, game.directory(),
                            "This is a file, not the game folder.");
    }
    if (TRY(m_fileSystem.isSameEntry(game.folder(), ".")))
        return RuntimeError(RuntimeErrorCode::InvalidProcedureCall, game.directory(),
                            "This is the folder of the BEXOM package, not the game "
                            "folder.");
    return {};
}

ErrorOr<void> GameFolderCheck::requireFile(const std::string &path, const std::string &cause)
{
    switch (TRY(m_fileSystem.entryKind(path))) {
    case EntryKind::File:
        return {};
    case EntryKind::Missing:
        return RuntimeError(RuntimeErrorCode::FileNotFound, path, cause);
    default:
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            "This is not a plain file. " + cause);
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
                                "This is a symbolic link whose target is named "
                                "relative to the game folder; moved into BEXOM's "
                                "backup folder it would point elsewhere. Replace it "
                                "with the file itself or with a link that names "
                                "the full path.");
    }
    return {};
}

ErrorOr<void> GameFolderCheck::refuseBackupLink(const GameFolder &game)
{
    if (TRY(m_fileSystem.linkKind(game.backupFolder())) == LinkKind::NotALink)
        return {};
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, game.backupFolder(),
                        HeldFolder::LinkRefusal);
}
