#pragma once

#include "Edition.h"
#include "GameFolder.h"
#include "runtime/FileSystem.h"

#include <string>

// Whether a folder is one the installation can use. The installation refuses a folder with it,
// and the game finder offers only folders that pass it, so that a folder offered is never one
// that is then refused.
class GameFolderCheck final
{
public:
    explicit GameFolderCheck(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    // The folder holds the game with the expansion chosen, BEXOM is not installed there, and
    // its archives can be moved into the backup folder as they are.
    ErrorOr<void> checkInstallable(Edition edition, const GameFolder &game);
    // A full path to an existing folder that is not the package's.
    ErrorOr<void> checkFolder(const GameFolder &game);
    // Names in the message box what the folder lacks when the file is not there.
    ErrorOr<void> requireFile(const std::string &path, ErrorCause lacking);
    // A backup folder that is a link would send the game's archives wherever it leads, or have
    // the removal give back, and then delete, what stands there.
    ErrorOr<void> refuseBackupLink(const GameFolder &game);

private:
    ErrorOr<void> checkHoldsTheGame(Edition edition, const GameFolder &game);
    ErrorOr<void> refuseRelativeArchiveLinks(const GameFolder &game);

    FileSystem &m_fileSystem;
};
