#pragma once

#include "Journal.h"
#include "runtime/FileSystem.h"
#include "TransactionStep.h"

#include <vector>

// Undoes the steps of a transaction, or makes them final by dropping the files they kept aside.
// Each undo looks at the disk before it acts, so that it is right whether or not the step's
// operation had run: a crash may fall between the record of a step and its operation, or
// between an undo and its record. Undoing a step twice in a row is the same as undoing it once.
class StepReversal final
{
public:
    explicit StepReversal(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    // Undoes the steps in reverse order, recording each in the journal once it is undone, and
    // stops at the first that cannot be: the steps before it stay for the next attempt, which
    // could not safely undo them a second time. The error's changes left say what is left.
    ErrorOr<void> undo(const std::vector<TransactionStep> &steps, Journal &journal);
    // Deletes the former files kept aside that are still there, as many as it can. Fails with
    // the first error, whose changes left name every file that could not be deleted.
    ErrorOr<void> dropAsides(const std::vector<TransactionStep> &steps);

private:
    ErrorOr<void> undo(const TransactionStep &step);
    ErrorOr<void> deleteIfPresent(const std::string &path);

    FileSystem &m_fileSystem;
};
