#pragma once

#include "Journal.h"
#include "runtime/FileSystem.h"
#include "StepReversal.h"
#include "TransactionStep.h"

#include <QList>

// Changes to the file system that take effect together or not at all. Nothing the transaction
// deletes or replaces is destroyed before it is committed: such a file is renamed aside, in its
// own folder under a hidden name that no other file has, and dropped only at the commit.
// An unfinished transaction undoes its steps in reverse order, so that every file is as before.
// Every step is written to the journal before its operation runs, so that a process that dies
// half-way leaves enough on the disk for the next start to undo what it had done.
class Transaction final
{
public:
    explicit Transaction(FileSystem &fileSystem);
    // Rolls back a transaction that was never completed.
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Never replaces an existing folder.
    ErrorOr<void> makeDirectory(const QString &path);
    ErrorOr<void> removeDirectory(const QString &path);
    // Never replaces an existing destination.
    ErrorOr<void> move(const QString &from, const QString &to);
    // Never replaces an existing destination.
    ErrorOr<void> copy(const QString &from, const QString &to);
    ErrorOr<void> deleteFile(const QString &path);
    ErrorOr<void> rewrite(const QString &path, const QByteArray &bytes);
    // Never replaces an existing file. The bytes are on the disk once it returns.
    ErrorOr<void> createFile(const QString &path, const QByteArray &bytes);

    // Ends the transaction with the outcome of its steps. A success is committed; an error undoes
    // every step and is returned, telling what could not be undone, if anything.
    ErrorOr<void> complete(ErrorOr<void> outcome);

private:
    // Records the step, on the disk, before its operation runs.
    ErrorOr<void> begin(const TransactionStep &step);
    ErrorOr<void> requireMissing(const QString &path);
    ErrorOr<void> commit();
    ErrorOr<void> rollBack();
    ErrorOr<void> discardJournal(const QString &whenLeft);
    ErrorOr<QString> asStored(const QString &path);
    QString asidePathFor(const QString &path);

    FileSystem &m_fileSystem;
    Journal m_journal;
    StepReversal m_reversal;
    QString m_asidePrefix;
    int m_asideCount = 0;
    QList<TransactionStep> m_steps;
    bool m_completed = false;
};
