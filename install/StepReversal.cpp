#include "StepReversal.h"

#include "runtime/Text.h"

#include <optional>

using Kind = TransactionStep::Kind;

namespace {

// The journal stays on the disk while anything is left, and the next start tries again.
const std::string RetryNote =
    "The installer will try again to put this right when it is next started.";

std::string quoted(const std::string &path)
{
    return '"' + path + '"';
}

// What is left on disk when the undo of a step failed, in words for the player.
std::string describeUndone(const TransactionStep &step)
{
    switch (step.kind) {
    case Kind::MakeDirectory:
        return "The folder " + quoted(step.target) + " could not be removed again";
    case Kind::RemoveDirectory:
        return "The folder " + quoted(step.target) + " could not be made again";
    case Kind::Move:
        return quoted(step.target) + " could not be moved back to " + quoted(step.source);
    case Kind::Copy:
        return "The copy " + quoted(step.target) + " could not be deleted";
    case Kind::SetAside:
        return quoted(step.target) + " could not be put back; it is kept as " + quoted(step.aside);
    case Kind::Rewrite:
        return quoted(step.target) +
               " could not be given back its former content, which is kept as " +
               quoted(step.aside);
    case Kind::Create:
        return "The new file " + quoted(step.target) + " could not be deleted";
    }
    return {};
}

bool keepsAside(const TransactionStep &step)
{
    return step.kind == Kind::SetAside || step.kind == Kind::Rewrite;
}

RuntimeError withChangesLeft(RuntimeError error, const std::string &failure,
                             std::ptrdiff_t stillDone)
{
    std::vector<std::string> left{failure + ": " + error.description()};
    if (stillDone > 0)
        left.push_back(std::to_string(stillDone) + " earlier changes are still in place.");
    left.push_back(RetryNote);
    error.setChangesLeft(Text::join(left, "\n"));
    return error;
}

} // namespace

ErrorOr<void> StepReversal::undo(const std::vector<TransactionStep> &steps, Journal &journal)
{
    for (auto index = static_cast<std::ptrdiff_t>(steps.size()) - 1; index >= 0; --index) {
        if (ErrorOr<void> undone = undo(steps[index]); undone.isError())
            return withChangesLeft(undone.releaseError(), describeUndone(steps[index]), index);
        if (ErrorOr<void> recorded = journal.recordUndone(); recorded.isError())
            return withChangesLeft(recorded.releaseError(),
                                   "The journal " + quoted(Journal::FileName) +
                                       " could not record the undoing",
                                   index);
    }
    return {};
}

// Every aside is tried even when an earlier one could not be deleted: the fewer remain, the
// fewer the next start has to clear.
ErrorOr<void> StepReversal::dropAsides(const std::vector<TransactionStep> &steps)
{
    std::optional<RuntimeError> firstFailure;
    std::vector<std::string> left;
    for (const TransactionStep &step : steps) {
        if (!keepsAside(step))
            continue;
        ErrorOr<void> dropped = deleteIfPresent(step.aside);
        if (!dropped.isError())
            continue;
        left.push_back("The work is done, but the former file kept as " + quoted(step.aside) +
                       " could not be deleted: " + dropped.error().description());
        if (!firstFailure)
            firstFailure = dropped.releaseError();
    }
    if (!firstFailure)
        return {};
    left.push_back(RetryNote);
    firstFailure->setChangesLeft(Text::join(left, "\n"));
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
