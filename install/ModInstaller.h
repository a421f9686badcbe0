#pragma once

#include "Edition.h"
#include "InstallationManifest.h"
#include "runtime/FileSystem.h"
#include "StatusFile.h"

#include <optional>
#include <string>

class DigestQueue;
class GameFolder;
class ManifestDraft;
class Transaction;

// Puts the mod into a game folder and takes it out again. Each procedure checks what it needs
// before it touches anything, and undoes every step it has done when a later one fails, so the
// game folder and the status file are either wholly changed or exactly as they were.
// The game directory ends in a backslash and file names are joined to it directly.
//
// The installation leaves a manifest in the backup folder: the files it placed and the files it
// kept, with their sizes and hashes. The removal takes out what the manifest lists and nothing
// else, and only once every kept file has been found whole. A backup folder without a manifest,
// made by an earlier version of the installer, is taken out by the fixed lists of each edition.
class ModInstaller final
{
public:
    explicit ModInstaller(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    ErrorOr<void> install(Edition edition, const std::string &gameDirectory);
    ErrorOr<void> uninstall(Edition edition, const std::string &gameDirectory);

private:
    ErrorOr<void> checkInstallable(Edition edition, const GameFolder &game);
    // Whether the folder is there and holds the game with the expansion chosen.
    ErrorOr<void> checkHoldsTheGame(Edition edition, const GameFolder &game);
    RuntimeError pointToGamesFound(RuntimeError refusal, Edition edition, const GameFolder &game);
    // Returns the status file as it is, for the removal to keep its path line.
    ErrorOr<StatusRecord> checkRemovable(const GameFolder &game);
    ErrorOr<void> checkEarlierBackup(Edition edition, const GameFolder &game);
    ErrorOr<void> checkManifest(Edition edition, const GameFolder &game,
                                const InstallationManifest &manifest);
    // Returns the ticket of the kept file's digest.
    ErrorOr<std::size_t> openKeptFile(const GameFolder &game, const ManifestEntry &kept,
                                      DigestQueue &digests);
    static RuntimeError damagedBackup(const GameFolder &game, const ManifestEntry &kept);
    ErrorOr<void> checkGameFolder(const GameFolder &game);
    ErrorOr<void> requireFile(const std::string &path, const std::string &cause);
    // A file of the package, named in the message as what.
    ErrorOr<void> requirePackageFile(const std::string &name, const std::string &what);
    // Nothing when the backup folder holds no manifest.
    ErrorOr<std::optional<InstallationManifest>> readManifest(const GameFolder &game);

    ErrorOr<void> installAftermath(Transaction &transaction, const GameFolder &game);
    ErrorOr<void> installCounterstrike(Transaction &transaction, const GameFolder &game);
    ErrorOr<void> uninstallListed(Transaction &transaction, const GameFolder &game,
                                  const InstallationManifest &manifest, const StatusRecord &status);
    ErrorOr<void> uninstallAftermath(Transaction &transaction, const GameFolder &game,
                                     const StatusRecord &status);
    ErrorOr<void> uninstallCounterstrike(Transaction &transaction, const GameFolder &game,
                                         const StatusRecord &status);

    // Returns the name as the backup folder holds it.
    ErrorOr<std::string> keepGameFile(Transaction &transaction, const GameFolder &game,
                                      ManifestDraft &manifest, const std::string &name);
    ErrorOr<void> keepPlayersFile(Transaction &transaction, const GameFolder &game,
                                  ManifestDraft &manifest, const std::string &name);
    ErrorOr<void> copyModFile(Transaction &transaction, const GameFolder &game,
                              ManifestDraft &manifest, const std::string &name);
    ErrorOr<void> writeManifest(Transaction &transaction, const GameFolder &game,
                                ManifestDraft &manifest);
    ErrorOr<void> removeManifest(Transaction &transaction, const GameFolder &game);
    ErrorOr<void> deleteModFile(Transaction &transaction, const GameFolder &game,
                                const std::string &name);
    ErrorOr<void> takeBackModFile(Transaction &transaction, const GameFolder &game,
                                  const std::string &name);
    ErrorOr<void> giveBackKeptFile(Transaction &transaction, const GameFolder &game,
                                   const std::string &name);

    ErrorOr<void> refuseBackupLink(const GameFolder &game);
    ErrorOr<void> refuseRelativeArchiveLinks(const GameFolder &game);

    FileSystem &m_fileSystem;
};
