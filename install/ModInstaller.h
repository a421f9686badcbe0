#pragma once

#include "Edition.h"
#include "InstallationManifest.h"
#include "runtime/FileSystem.h"
#include "StatusFile.h"
#include "Transaction.h"

#include <optional>
#include <string>

class GameFolder;
class ManifestDraft;

// A file of the mod that the player changed after the installation, and the name in the package
// folder under which the removal kept it rather than delete it, with the whole path for the player.
struct KeptEdit
{
    std::string name;
    std::string keptAs;
    std::string path;

    bool operator==(const KeptEdit &) const = default;
};

// Puts the mod into a game folder and takes it out again. Each procedure checks what it needs
// before it touches anything, and undoes every step it has done when a later one fails, so the
// game folder and the status file are either wholly changed or exactly as they were.
// The game directory ends in a backslash and file names are joined to it directly.
//
// The installation leaves a manifest in the backup folder: the files it placed and the files it
// kept, with their sizes and hashes. The removal takes out what the manifest lists and nothing
// else, and only once every kept file has been found whole. A backup folder without a manifest,
// made by an earlier version of the installer, is taken out by the fixed lists of each edition.
// A placed file that no longer holds what the installation placed is the player's work (a tuned
// Rules.ini): the removal moves it to the package folder instead of deleting it.
class ModInstaller final
{
public:
    explicit ModInstaller(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    // What install() checks before it touches anything, for a request to refuse before it asks.
    ErrorOr<void> checkInstallable(Edition edition, const std::string &gameDirectory);
    ErrorOr<void> install(Edition edition, const std::string &gameDirectory);
    ErrorOr<void> uninstall(Edition edition, const std::string &gameDirectory);
    // What the last successful removal kept of the player's changes.
    const std::vector<KeptEdit> &keptEdits() const { return m_keptEdits; }

private:
    ErrorOr<void> nameProtectedFolder(ErrorOr<void> outcome, const GameFolder &game);

    ErrorOr<void> installAftermath(Transaction &transaction, const GameFolder &game);
    ErrorOr<void> installCounterstrike(Transaction &transaction, const GameFolder &game);
    ErrorOr<void> uninstallListed(Transaction &transaction, const GameFolder &game,
                                  const InstallationManifest &manifest,
                                  const std::vector<std::string> &edited,
                                  const StatusRecord &status);
    ErrorOr<void> uninstallAftermath(Transaction &transaction, const GameFolder &game,
                                     const StatusRecord &status);
    ErrorOr<void> uninstallCounterstrike(Transaction &transaction, const GameFolder &game,
                                         const StatusRecord &status);

    // Returns the name as the backup folder holds it.
    ErrorOr<std::string> keepGameFile(Transaction &transaction, const GameFolder &game,
                                      ManifestDraft &manifest, const std::string &name);
    ErrorOr<void> keepPlayersFile(Transaction &transaction, const GameFolder &game,
                                  ManifestDraft &manifest, const std::string &name);
    // Copies each named package file into the game folder, after the copies given.
    ErrorOr<void> copyModFiles(Transaction &transaction, const GameFolder &game,
                               ManifestDraft &manifest, const std::vector<std::string> &names,
                               std::vector<Transaction::FileCopy> copies);
    ErrorOr<void> writeManifest(Transaction &transaction, const GameFolder &game,
                                ManifestDraft &manifest);
    ErrorOr<void> removeManifest(Transaction &transaction, const GameFolder &game);
    ErrorOr<void> deleteModFile(Transaction &transaction, const GameFolder &game,
                                const std::string &name);
    ErrorOr<void> keepEditedFile(Transaction &transaction, const GameFolder &game,
                                 const std::string &name);
    ErrorOr<void> takeBackModFile(Transaction &transaction, const GameFolder &game,
                                  const std::string &name);
    ErrorOr<void> giveBackKeptFile(Transaction &transaction, const GameFolder &game,
                                   const std::string &name);

    FileSystem &m_fileSystem;
    std::vector<KeptEdit> m_keptEdits;
};
