#pragma once

#include "GameFolder.h"
#include "Journal.h"
#include "runtime/FileSystem.h"
#include "runtime/InstanceLock.h"
#include "StepReversal.h"
#include "TransactionFolders.h"
#include "TransactionStep.h"

#include <optional>
#include <string>
#include <vector>

// Changes to the file system that take effect together or not at all. Nothing the transaction
// deletes or replaces is destroyed before it is committed: such a file is renamed aside, in its
// own folder under a hidden name that no other file has, and dropped only at the commit.
// An unfinished transaction undoes its steps in reverse order, so that every file is as before,
// save for what was changed since by someone else, which the undo never deletes or replaces.
// Every step is written to the journal before its operation runs, so that a process that dies
// half-way leaves enough on the disk for the next start to undo what it had done. From its first
// step to its end, the transaction holds the game folder's lock, and holds the game folder and
// the backup folder open: every step works in them as they were opened.
class Transaction final
{
public:
    // The game folder is the one the procedure works on; the journal names it, so that only a
    // start that finds this very folder again acts on the journal.
    Transaction(FileSystem &fileSystem, const GameFolder &game);
    // Rolls back a transaction that was never completed.
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Never replaces an existing folder.
    ErrorOr<void> makeDirectory(const std::string &path);
    ErrorOr<void> removeDirectory(const std::string &path);
    // Never replaces an existing destination.
    ErrorOr<void> move(const std::string &from, const std::string &to);
    struct FileCopy
    {
        std::string from;
        std::string to;
    };
    // Never replaces an existing destination. Each copy is made under a hidden name and then
    // moved to its destination, so that undoing it never deletes what stands at that name; two
    // journal flushes serve all the copies.
    ErrorOr<void> copyAll(const std::vector<FileCopy> &copies);
    ErrorOr<void> deleteFile(const std::string &path);
    // A file to delete, and what it holds when that is known already: it is read otherwise.
    struct FileDeletion
    {
        std::string path;
        std::optional<FileDigest> holds = {};
    };
    // Deletes each file as deleteFile() does, with one journal flush for all of them.
    ErrorOr<void> deleteAll(const std::vector<FileDeletion> &deletions);
    ErrorOr<void> rewrite(const std::string &path, const std::string &bytes);
    // Never replaces an existing file. The bytes are on the disk once it returns.
    ErrorOr<void> createFile(const std::string &path, const std::string &bytes);

    // Ends the transaction with the outcome of its steps. A success is committed; an error undoes
    // every step and is returned, telling what could not be undone, if anything.
    ErrorOr<void> complete(ErrorOr<void> outcome);

private:
    // Records the steps, on the disk, before the first of their operations runs.
    ErrorOr<void> begin(const std::vector<TransactionStep> &steps);
    // Locks the game folder and writes the journal's first record.
    ErrorOr<void> open();
    ErrorOr<void> requireMissing(const std::string &path);

    ErrorOr<void> commit();
    ErrorOr<void> flushChangedFolders();
    ErrorOr<void> rollBack();
    ErrorOr<void> discardJournal(ChangesLeft::JournalLeft::After after);
    ErrorOr<std::string> asStored(const std::string &path);
    std::string asidePathFor(const std::string &path);

    FileSystem &m_fileSystem;
    std::string m_gameDirectory;
    std::optional<InstanceLock> m_gameLock;
    // Released once a rollback in the destructor is done.
    TransactionFolders m_folders;
    Journal m_journal;
    StepReversal m_reversal;
    std::string m_asidePrefix;
    int m_asideCount = 0;
    std::vector<TransactionStep> m_steps;
    // The folders of copies that are on the disk only once their file system is flushed.
    std::vector<std::string> m_unflushedCopies;
    bool m_completed = false;
};
