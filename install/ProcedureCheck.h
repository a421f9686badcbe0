#pragma once

#include "Edition.h"
#include "GameFolder.h"
#include "InstallationManifest.h"
#include "runtime/FileSystem.h"
#include "StatusFile.h"

#include <optional>
#include <string>
#include <vector>

class DigestQueue;

// Whether the installation or the removal may begin on a game folder: everything a procedure
// needs is checked before it touches anything, so that a refusal leaves the folder as it was.
class ProcedureCheck final
{
public:
    explicit ProcedureCheck(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    ErrorOr<void> checkInstallable(Edition edition, const GameFolder &game);
    // Returns the status file as it is, for the removal to keep its path line.
    ErrorOr<StatusRecord> checkRemovable(const GameFolder &game);
    // Nothing when the backup folder holds no manifest.
    ErrorOr<std::optional<InstallationManifest>> readManifest(Edition edition,
                                                              const GameFolder &game);
    // Returns the names of the placed files that the player has changed since.
    ErrorOr<std::vector<std::string>> checkManifest(Edition edition, const GameFolder &game,
                                                    const InstallationManifest &manifest);
    ErrorOr<void> checkEarlierBackup(Edition edition, const GameFolder &game);

private:
    RuntimeError pointToGamesFound(RuntimeError refusal, Edition edition, const GameFolder &game);
    // Returns the ticket of the kept file's digest.
    ErrorOr<std::size_t> openKeptFile(const GameFolder &game, const ManifestEntry &kept,
                                      DigestQueue &digests);
    // Nothing for a placed file that is not a plain file, or not there at all.
    ErrorOr<std::optional<std::size_t>>
    openPlacedFile(const GameFolder &game, const ManifestEntry &placed, DigestQueue &digests);
    static RuntimeError damagedBackup(const GameFolder &game, const ManifestEntry &kept);
    ErrorOr<void> requirePackageFile(const std::string &name);

    FileSystem &m_fileSystem;
};
