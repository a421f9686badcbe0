#include "StepReversal.h"

#include <optional>

using Kind = TransactionStep::Kind;

namespace {

bool keepsAside(const TransactionStep &step)
{
    return step.kind == Kind::SetAside || step.kind == Kind::Rewrite;
}

// The undo stopped at the step, or at its record when there is none; the steps before it stay
// done for the next attempt.
RuntimeError withUndoStuck(RuntimeError error, const TransactionStep *step,
                           std::ptrdiff_t stillDone)
{
    ChangesLeft::StuckUndo stuck;
    stuck.failure = error.code();
    stuck.stepsStillDone = static_cast<std::size_t>(stillDone);
    if (step) {
        stuck.kind = step->kind;
        stuck.source = step->source;
        stuck.target = step->target;
        stuck.aside = step->aside;
    }
    ChangesLeft changes;
    changes.stuckUndo = std::move(stuck);
    error.setChangesLeft(std::move(changes));
    return error;
}

} // namespace

ErrorOr<void> StepReversal::undo(const std::vector<TransactionStep> &steps, Journal &journal)
{
    for (auto index = static_cast<std::ptrdiff_t>(steps.size()) - 1; index >= 0; --index) {
        if (ErrorOr<void> undone = undo(steps[index]); undone.isError())
            return withUndoStuck(undone.releaseError(), &steps[index], index);
        if (ErrorOr<void> recorded = journal.recordUndone(); recorded.isError())
            return withUndoStuck(recorded.releaseError(), nullptr, index);
    }
    return {};
}

// Every aside is tried even when an earlier one could not be deleted: the fewer remain, the
// fewer the next start has to clear.
ErrorOr<void> StepReversal::dropAsides(const std::vector<TransactionStep> &steps)
{
    std::optional<RuntimeError> firstFailure;
    ChangesLeft changes;
    for (const TransactionStep &step : steps) {
        if (!keepsAside(step))
            continue;
        ErrorOr<void> dropped = deleteIfPresent(step.aside);
        if (!dropped.isError())
            continue;
        changes.asidesLeft.push_back({step.aside, dropped.error().code()});
        if (!firstFailure)
            firstFailure = dropped.releaseError();
    }
    if (!firstFailure)
        return {};
    firstFailure->setChangesLeft(std::move(changes));
    return *firstFailure;
}

ErrorOr<void> StepReversal::undo(const TransactionStep &step)
{
    switch (step.kind) {
    case Kind::MakeDirectory:
        // The transaction makes only folders that were missing. One that is not empty now holds
        // something that could not be put back, and its removal fails and is reported. A link
        // that took its name is not that folder, which was moved away with nothing left in it.
        if (TRY(m_fileSystem.linkKind(step.target)) != LinkKind::NotALink ||
            TRY(m_fileSystem.entryKind(step.target)) != EntryKind::Directory)
            return {};
        return m_fileSystem.removeDirectory(step.target);
    case Kind::RemoveDirectory:
        if (TRY(m_fileSystem.exists(step.target)))
            return {};
        return m_fileSystem.makeDirectory(step.target);
    case Kind::Move:
        if (!TRY(m_fileSystem.exists(step.target)) || TRY(m_fileSystem.exists(step.source)))
            return {};
        return m_fileSystem.rename(step.target, step.source, Overwrite::No);
    case Kind::Copy:
    case Kind::Create:
        // The target was missing before the copy or the creation, so whatever stands there now
        // is the new file, whole or cut short.
        return deleteIfPresent(step.target);
    case Kind::SetAside:
        // A file in the way at the target is reported rather than replaced.
        if (!TRY(m_fileSystem.exists(step.aside)))
            return {};
        return m_fileSystem.rename(step.aside, step.target, Overwrite::No);
    case Kind::Rewrite:
        // The aside holds the former bytes whether or not the new ones had been written.
        if (!TRY(m_fileSystem.exists(step.aside)))
            return {};
        return m_fileSystem.rename(step.aside, step.target, Overwrite::Yes);
    }
    return {};
}

ErrorOr<void> StepReversal::deleteIfPresent(const std::string &path)
{
    if (!TRY(m_fileSystem.exists(path)))
        return {};
    return m_fileSystem.deleteFile(path);
}
