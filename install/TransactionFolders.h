#pragma once

#include "GameFolder.h"
#include "runtime/FileSystem.h"

// The game folder and its backup folder, held while a transaction, or the recovery of one, works
// in them, and released when this goes, however the work ends.
class TransactionFolders final
{
public:
    explicit TransactionFolders(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}
    ~TransactionFolders() { m_fileSystem.releaseFolders(); }
    TransactionFolders(const TransactionFolders &) = delete;
    TransactionFolders &operator=(const TransactionFolders &) = delete;

    // The game folder, and the backup folder when it is there: a backup folder that is a link is
    // refused, before anything is done through it.
    ErrorOr<void> hold(const GameFolder &game);

private:
    FileSystem &m_fileSystem;
};
