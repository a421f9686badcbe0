#pragma once

#include "Edition.h"
#include "GameFolder.h"
#include "InstallationManifest.h"
#include "runtime/FileSystem.h"

#include <optional>
#include <string>

class Transaction;

// The installation's manifest, kept twice: in the backup folder, and in the package folder beside
// the status file, so that one copy damaged or deleted loses nothing. Either copy that is whole
// serves; its checksum tells whole from damaged. Both are written, and removed, by the same
// transaction.
class ManifestCopies final
{
public:
    ManifestCopies(FileSystem &fileSystem, GameFolder game)
        : m_fileSystem(fileSystem), m_game(std::move(game))
    {}

    // Nothing when neither copy is there, as in the backup folder of an earlier version, which
    // wrote none. When no copy can be read, the error says which of the files in the backup
    // folder are the game's and which the player's own, and where they belong, so that the player
    // can finish the removal by hand.
    // The edition the status file names tells which of the mod's files the installation placed.
    ErrorOr<std::optional<InstallationManifest>> read(Edition edition);
    ErrorOr<void> write(Transaction &transaction, const InstallationManifest &manifest);
    ErrorOr<void> remove(Transaction &transaction);

private:
    // One copy as found: missing, whole, or damaged, and then what is wrong with it. A failure to
    // look at it or read it is no damage of the copy's, but an error of the removal's own.
    struct Copy
    {
        std::optional<InstallationManifest> manifest;
        std::optional<RuntimeError> damage;
    };

    ErrorOr<Copy> readCopy(const std::string &path);
    RuntimeError withWayByHand(const RuntimeError &error, Edition edition);
    ErrorOr<std::vector<std::string>> placedFiles(Edition edition);

    FileSystem &m_fileSystem;
    GameFolder m_game;
};
