#include "StepReversal.h"

#include "EditedFileName.h"
#include "PackageFolder.h"
#include "runtime/Text.h"

#include <algorithm>
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

// The file whose bytes the step's source was given by a copy, through the moves that carried the
// copy there; nothing when no copy made it.
std::optional<std::string> copiedFrom(const std::vector<TransactionStep> &steps, std::size_t index)
{
    std::string path = steps[index].source;
    for (std::size_t earlier = index; earlier-- > 0;) {
        if (steps[earlier].target != path)
            continue;
        if (steps[earlier].kind == Kind::Copy)
            return steps[earlier].source;
        if (steps[earlier].kind != Kind::Move)
            return std::nullopt;
        path = steps[earlier].source;
    }
    return std::nullopt;
}

// What the step's aside held when it was made: the file set aside, or the copy of a rewritten
// file's former bytes. Nothing in a journal of an earlier version.
std::optional<FileDigest> heldAside(const std::vector<TransactionStep> &steps,
                                    const TransactionStep &step)
{
    if (step.kind == Kind::SetAside)
        return step.held;
    const auto copy = std::find_if(steps.begin(), steps.end(), [&](const TransactionStep &earlier) {
        return earlier.kind == Kind::Copy && earlier.target == step.aside;
    });
    return copy == steps.end() ? std::nullopt : copy->written;
}

} // namespace

ErrorOr<void> StepReversal::undo(const std::vector<TransactionStep> &steps, Journal &journal)
{
    for (auto index = static_cast<std::ptrdiff_t>(steps.size()) - 1; index >= 0; --index) {
        if (ErrorOr<void> undone = undo(steps, static_cast<std::size_t>(index)); undone.isError())
            return withUndoStuck(undone.releaseError(), &steps[index], index);
        if (ErrorOr<void> recorded = journal.recordUndone(); recorded.isError())
            return withUndoStuck(recorded.releaseError(), nullptr, index);
    }
    return {};
}

// Every aside is tried even when an earlier one could not be deleted: the fewer remain, the
// fewer the next start has to clear.
ErrorOr<void> StepReversal::dropAsides(const std::vector<TransactionStep> &steps, SetAsideBy by)
{
    std::optional<RuntimeError> firstFailure;
    ChangesLeft changes;
    for (const TransactionStep &step : steps) {
        if (!keepsAside(step))
            continue;
        ErrorOr<void> dropped =
            dropAside(step, by == SetAsideBy::EarlierRun ? heldAside(steps, step) : std::nullopt);
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

ErrorOr<void> StepReversal::undo(const std::vector<TransactionStep> &steps, std::size_t index)
{
    const TransactionStep &step = steps[index];
    switch (step.kind) {
    case Kind::MakeDirectory:
        return undoMakeDirectory(step);
    case Kind::RemoveDirectory:
        if (TRY(m_fileSystem.exists(step.target)))
            return {};
        return m_fileSystem.makeDirectory(step.target);
    case Kind::Move:
        return undoMove(steps, index);
    case Kind::Copy:
        // The target is a hidden name that was free, which only the copy writes and only the undo
        // of a move that placed the copy's bytes gives back to: whatever stands there is the
        // copy, whole or cut short.
        return deleteIfPresent(step.target);
    case Kind::Create:
        return undoCreate(step);
    case Kind::SetAside:
        if (!TRY(m_fileSystem.exists(step.aside)))
            return {};
        return putBack(step.aside, step.target);
    case Kind::Rewrite:
        return undoRewrite(step);
    }
    return {};
}

// A move that placed a copy is taken back only while its target holds the copy's bytes, those of
// the file the copy was made from: the game's own archive put back by hand, or a placed file the
// player has tuned since, stays where it is. A move of the game's own file, which nothing copied,
// gives back whatever stands at its target: moved back under its former name, nothing is lost.
ErrorOr<void> StepReversal::undoMove(const std::vector<TransactionStep> &steps, std::size_t index)
{
    const TransactionStep &step = steps[index];
    if (!TRY(m_fileSystem.exists(step.target)))
        return {};
    const std::optional<std::string> original = copiedFrom(steps, index);
    if (!original || TRY(holdSame(step.target, *original)))
        return putBack(step.target, step.source);
    if (TRY(wasPutBackByHand(steps, index)))
        return {};
    return leave(step.target);
}

// An earlier step had moved the file at the target's name away, and it is no longer where it went:
// the player, or the game's setup, has put the game's own file back.
ErrorOr<bool> StepReversal::wasPutBackByHand(const std::vector<TransactionStep> &steps,
                                             std::size_t index)
{
    for (std::size_t earlier = 0; earlier < index; ++earlier)
        if (steps[earlier].kind == Kind::Move &&
            Text::equalsIgnoringCase(steps[earlier].source, steps[index].target))
            return !TRY(m_fileSystem.exists(steps[earlier].target));
    return false;
}

// The status file is put back only while it holds what the rewrite wrote; written since by
// another installation, it tells what is true now, and the former bytes are dropped.
ErrorOr<void> StepReversal::undoRewrite(const TransactionStep &step)
{
    if (!TRY(m_fileSystem.exists(step.aside)))
        return {};
    if (!step.written || !TRY(m_fileSystem.exists(step.target)))
        // The aside holds the former bytes whether or not the new ones had been written.
        return m_fileSystem.rename(step.aside, step.target, Overwrite::Yes);
    if (TRY(m_fileSystem.digest(step.target)) == *step.written)
        return m_fileSystem.rename(step.aside, step.target, Overwrite::Yes);
    if (!TRY(holdSame(step.aside, step.target)))
        TRY(leave(step.target));
    return m_fileSystem.deleteFile(step.aside);
}

// What the creation wrote, whole or cut short, goes; a file written there since stays.
ErrorOr<void> StepReversal::undoCreate(const TransactionStep &step)
{
    if (!TRY(m_fileSystem.exists(step.target)))
        return {};
    if (step.written) {
        const FileDigest now = TRY(m_fileSystem.digest(step.target));
        if (now != *step.written && now.size >= step.written->size)
            return leave(step.target);
    }
    return m_fileSystem.deleteFile(step.target);
}

// The transaction makes only folders that were missing. A link that took its name is not that
// folder, which was moved away with nothing left in it; one that still holds files holds files
// that were not the transaction's to take back.
ErrorOr<void> StepReversal::undoMakeDirectory(const TransactionStep &step)
{
    if (TRY(m_fileSystem.linkKind(step.target)) != LinkKind::NotALink ||
        TRY(m_fileSystem.entryKind(step.target)) != EntryKind::Directory)
        return {};
    if (!TRY(m_fileSystem.entryNames(step.target)).empty())
        return leave(step.target);
    return m_fileSystem.removeDirectory(step.target);
}

// Gives the file at from back the name to. What stands there now is newer than the transaction:
// the player's or the game's, it stays, and the file is kept in the package folder under a name of
// its own unless the same bytes are there already. With the folder of to gone, the player has put
// things back by hand, and the file stays where it is.
ErrorOr<void> StepReversal::putBack(const std::string &from, const std::string &to)
{
    if (TRY(m_fileSystem.exists(to)) && !TRY(m_fileSystem.isSameEntry(from, to))) {
        if (TRY(holdSame(from, to)))
            return m_fileSystem.deleteFile(from);
        TRY(leave(to));
        return keepInPackage(from, to);
    }
    ErrorOr<void> renamed = m_fileSystem.rename(from, to, Overwrite::No);
    if (renamed.isError() && renamed.error().cause().reason() == ErrorReason::ParentFolderMissing)
        return leave(from);
    return renamed;
}

// An aside that holds something else than what was put there (written since by the player or
// another program) is not the transaction's to drop: it is kept in the package folder under the
// name of the file it was set aside from, and named.
ErrorOr<void> StepReversal::dropAside(const TransactionStep &step,
                                      const std::optional<FileDigest> &held)
{
    if (!TRY(m_fileSystem.exists(step.aside)))
        return {};
    if (held && TRY(m_fileSystem.digest(step.aside)) != *held)
        return keepInPackageAs(step.aside, step.target,
                               step.target.substr(step.target.find_last_of("\\/") + 1));
    return m_fileSystem.deleteFile(step.aside);
}

// Nothing holds the same as a file that is missing.
ErrorOr<bool> StepReversal::holdSame(const std::string &first, const std::string &second)
{
    if (!TRY(m_fileSystem.exists(second)))
        return false;
    const FileDigest firstHolds = TRY(m_fileSystem.digest(first));
    return firstHolds == TRY(m_fileSystem.digest(second));
}

// Under the name of the file it was to be, "RULES (found).INI" for "RULES.INI".
ErrorOr<void> StepReversal::keepInPackage(const std::string &path, const std::string &belongsAt)
{
    return keepInPackageAs(path, belongsAt, TRY(m_fileSystem.storedName(belongsAt)));
}

ErrorOr<void> StepReversal::keepInPackageAs(const std::string &path, const std::string &belongsAt,
                                            const std::string &name)
{
    int number = 1;
    while (!TRY(m_fileSystem.isFreeName(EditedFileName::found(name, number))))
        ++number;
    const std::string keptAs = EditedFileName::found(name, number);
    std::string shown = TRY(PackageFolder::pathOf(m_fileSystem, keptAs));
    TRY(m_fileSystem.rename(path, keptAs, Overwrite::No));
    m_kept.push_back({belongsAt, std::move(shown)});
    return {};
}

ErrorOr<void> StepReversal::leave(const std::string &path)
{
    // The package folder's own files are named relative to it; the player is given where.
    const bool inPackage = path.find_first_of("\\/") == std::string::npos;
    KeptFile left{inPackage ? TRY(PackageFolder::pathOf(m_fileSystem, path)) : path};
    // Names match whatever their letter case: "Rules.ini" and "RULES.INI" are one file.
    if (std::none_of(m_kept.begin(), m_kept.end(), [&](const KeptFile &kept) {
            return kept.keptAs.empty() && Text::equalsIgnoringCase(kept.path, left.path);
        }))
        m_kept.push_back(std::move(left));
    return {};
}

ErrorOr<void> StepReversal::deleteIfPresent(const std::string &path)
{
    if (!TRY(m_fileSystem.exists(path)))
        return {};
    return m_fileSystem.deleteFile(path);
}
