#pragma once

#include "Journal.h"
#include "RecoveryOutcome.h"
#include "runtime/FileSystem.h"
#include "TransactionStep.h"

#include <vector>

// Undoes the steps of a transaction, or makes them final by dropping the files they kept aside.
// Each undo looks at the disk before it acts, so that it is right whether or not the step's
// operation had run: a crash may fall between the record of a step and its operation, or
// between an undo and its record. Undoing a step twice in a row is the same as undoing it once.
//
// Between a crash and the next start the player may play on and tune a placed file, put the game
// folder back by hand or reinstall the game. So an undo judges each name by what it holds now:
// what the step put there is taken back; what was there before needs nothing; anything else is
// never deleted or replaced: it stays where it is, and a file the undo would have put back in its
// place is kept in the package folder under a name of its own; either way the player is told.
class StepReversal final
{
public:
    explicit StepReversal(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    // Undoes the steps in reverse order, recording each in the journal once it is undone, and
    // stops at the first that cannot be: the steps before it stay for the next attempt, which
    // could not safely undo them a second time. The error's changes left say what is left.
    ErrorOr<void> undo(const std::vector<TransactionStep> &steps, Journal &journal);
    // Who set the files aside: this run, moments ago in the folders it holds, or a run that a
    // crash cut short, after which anything may have been written to them.
    enum class SetAsideBy { ThisRun, EarlierRun };
    // Deletes the former files kept aside that are still there, as many as it can; those of an
    // earlier run only while they hold what was set aside, any other is kept. Fails with the
    // first error, whose changes left name every file that could not be deleted.
    ErrorOr<void> dropAsides(const std::vector<TransactionStep> &steps, SetAsideBy by);
    // What the undo met that was not its own to take back, or the dropping not its own to drop.
    const std::vector<KeptFile> &kept() const { return m_kept; }

private:
    ErrorOr<void> undo(const std::vector<TransactionStep> &steps, std::size_t index);
    ErrorOr<void> undoMove(const std::vector<TransactionStep> &steps, std::size_t index);
    ErrorOr<bool> wasPutBackByHand(const std::vector<TransactionStep> &steps, std::size_t index);
    ErrorOr<void> undoRewrite(const TransactionStep &step);
    ErrorOr<void> undoCreate(const TransactionStep &step);
    ErrorOr<void> undoMakeDirectory(const TransactionStep &step);
    ErrorOr<void> putBack(const std::string &from, const std::string &to);
    ErrorOr<bool> holdSame(const std::string &first, const std::string &second);
    // Compares the aside with what it held, when that is given.
    ErrorOr<void> dropAside(const TransactionStep &step, const std::optional<FileDigest> &held);
    ErrorOr<void> keepInPackage(const std::string &path, const std::string &belongsAt);
    ErrorOr<void> keepInPackageAs(const std::string &path, const std::string &belongsAt,
                                  const std::string &name);
    ErrorOr<void> leave(const std::string &path);
    ErrorOr<void> deleteIfPresent(const std::string &path);

    FileSystem &m_fileSystem;
    std::vector<KeptFile> m_kept;
};
