#pragma once

#include "Edition.h"
#include "runtime/FileSystem.h"
#include "StatusFile.h"

#include <QString>

class GameFolder;
class Transaction;

// Puts the mod into a game folder and takes it out again. Each procedure checks what it needs
// before it touches anything, and undoes every step it has done when a later one fails, so the
// game folder and the status file are either wholly changed or exactly as they were.
// The game directory ends in a backslash and file names are joined to it directly.
class ModInstaller final
{
public:
    explicit ModInstaller(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    ErrorOr<void> install(Edition edition, const QString &gameDirectory);
    ErrorOr<void> uninstall(Edition edition, const QString &gameDirectory);

private:
    ErrorOr<void> checkInstallable(Edition edition, const GameFolder &game);
    // Returns the status file as it is, for the removal to keep its path line.
    ErrorOr<StatusRecord> checkRemovable(Edition edition, const GameFolder &game);
    ErrorOr<void> checkGameFolder(const GameFolder &game);
    ErrorOr<void> requireFile(const QString &path, const QString &cause);

    ErrorOr<void> installAftermath(Transaction &transaction, const GameFolder &game);
    ErrorOr<void> installCounterstrike(Transaction &transaction, const GameFolder &game);
    ErrorOr<void> uninstallAftermath(Transaction &transaction, const GameFolder &game,
                                     const StatusRecord &status);
    ErrorOr<void> uninstallCounterstrike(Transaction &transaction, const GameFolder &game,
                                         const StatusRecord &status);

    ErrorOr<void> copyModFile(Transaction &transaction, const GameFolder &game,
                              const QString &name);
    ErrorOr<void> deleteModFile(Transaction &transaction, const GameFolder &game,
                                const QString &name);
    ErrorOr<void> takeBackModFile(Transaction &transaction, const GameFolder &game,
                                  const QString &name);
    ErrorOr<void> giveBackKeptFile(Transaction &transaction, const GameFolder &game,
                                   const QString &name);

    ErrorOr<void> refuseRelativeArchiveLinks(const GameFolder &game);

    FileSystem &m_fileSystem;
};
