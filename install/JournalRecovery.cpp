#include "JournalRecovery.h"

#include "Journal.h"
#include "JournalOwnership.h"
#include "KeptJournals.h"
#include "StatusFile.h"
#include "StepReversal.h"
#include "TransactionFolders.h"
#include "TransactionScope.h"

namespace {

// What is left is that of the procedure the crash cut short, not of this start.
RuntimeError asInterrupted(RuntimeError error)
{
    ChangesLeft changes = error.changesLeft();
    changes.origin = ChangesLeft::Origin::InterruptedProcedure;
    error.setChangesLeft(std::move(changes));
    return error;
}

// Already optional, so that it becomes an ErrorOr in the one conversion a return allows.
std::optional<RecoveryOutcome> outcome(RecoveryOutcome::Kind kind, std::string keptAs = {},
                                       ErrorCause why = {})
{
    return RecoveryOutcome{kind, std::move(keptAs), std::move(why)};
}

// A move to another file system that the crash cut short left its copy at a hidden name beside
// one end or the other, the undo's move included; where the file is whole at a visible name, the
// copy goes, and with it what would stop the next move of the same file.
ErrorOr<void> clearCutShortMoves(FileSystem &fileSystem, const std::vector<TransactionStep> &steps)
{
    for (const TransactionStep &step : steps) {
        if (step.kind != TransactionStep::Kind::Move)
            continue;
        TRY(fileSystem.clearCutShortMove(step.source, step.target));
        TRY(fileSystem.clearCutShortMove(step.target, step.source));
    }
    return {};
}

} // namespace

ErrorOr<std::vector<RecoveryOutcome>> JournalRecovery::recover()
{
    // The journal's discarding is the last thing a start does, so that a start that dies before
    // it leaves the journal, and the notice, for the next one.
    TRY(deleteTemporaries());
    if (std::optional<RecoveryOutcome> outcome = TRY(recoverJournal()))
        return std::vector{std::move(*outcome)};
    // The journals kept at earlier starts whose folders are here again (the installer started
    // again from their package folder under their Wine set-up) are put right as if never kept,
    // each in a transaction of its own.
    std::vector<RecoveryOutcome> outcomes;
    KeptJournals kept(m_fileSystem);
    for (const std::string &name : TRY(kept.matched())) {
        TRY(kept.takeBack(name, Journal::FileName));
        if (std::optional<RecoveryOutcome> outcome = TRY(recoverJournal()))
            outcomes.push_back(std::move(*outcome));
    }
    return outcomes;
}

// A crash while the status file or the journal was rewritten leaves the new text, whole or not,
// under a temporary name that only that rewrite uses. The undo never reads it: the former text is
// kept aside, and a journal is renamed over only once its new text is whole.
ErrorOr<void> JournalRecovery::deleteTemporaries()
{
    for (const std::string &name : {StatusFile::FileName, Journal::FileName}) {
        const std::string temporary = FileSystem::TemporaryPrefix + name;
        if (TRY(m_fileSystem.linkKind(temporary)) == LinkKind::NotALink &&
            TRY(m_fileSystem.entryKind(temporary)) == EntryKind::File)
            TRY(m_fileSystem.deleteFile(temporary));
    }
    return {};
}

ErrorOr<std::optional<RecoveryOutcome>> JournalRecovery::recoverJournal()
{
    Journal journal(m_fileSystem);
    // A folder, a named pipe or a link in its place was never written by a transaction; read, it
    // could block the start or fail at every one.
    const EntryKind kind = TRY(m_fileSystem.entryKind(Journal::FileName));
    if (kind != EntryKind::Missing &&
        (kind != EntryKind::File ||
         TRY(m_fileSystem.linkKind(Journal::FileName)) != LinkKind::NotALink))
        return outcome(RecoveryOutcome::Kind::KeptAside, TRY(journal.setAside()),
                       ErrorReason::JournalNotAPlainFile);
    ErrorOr<std::optional<JournalContents>> resumed = journal.resume();
    // No transaction writes a journal too large to read; it would stop every start.
    if (resumed.isError() && resumed.error().cause().reason() == ErrorReason::TooLargeForTextFile)
        return outcome(RecoveryOutcome::Kind::KeptAside, TRY(journal.setAside()),
                       ErrorReason::JournalTooLarge);
    const std::optional<JournalContents> contents = TRY(std::move(resumed));
    if (!contents)
        return std::optional<RecoveryOutcome>();
    if (std::optional<ErrorCause> why = TRY(JournalOwnership(m_fileSystem).mismatch(*contents)))
        return outcome(RecoveryOutcome::Kind::KeptAside, TRY(journal.setAside()), std::move(*why));
    // No installer started from another copy of the package works on the game folder meanwhile:
    // the folder as it is reached now, which may be by another path than the journal's.
    const InstanceLock gameLock =
        TRY(TRY(TransactionScope::resolve(m_fileSystem, contents->scope->gameDirectory))
                .lockGameFolder());
    // The undo works in the folders as they were found, never through one swapped for a link
    // meanwhile.
    TransactionFolders folders(m_fileSystem);
    TRY(folders.hold(GameFolder(contents->scope->gameDirectory)));
    TRY(clearCutShortMoves(m_fileSystem, contents->steps));
    StepReversal reversal(m_fileSystem);
    if (contents->committed) {
        TRY(reversal.dropAsides(contents->steps, StepReversal::SetAsideBy::EarlierRun));
        TRY(journal.discard());
        RecoveryOutcome finished{RecoveryOutcome::Kind::Finished};
        finished.kept = reversal.kept();
        return std::optional(std::move(finished));
    }
    if (ErrorOr<void> undone = reversal.undo(contents->stepsToUndo(), journal); undone.isError())
        return asInterrupted(undone.releaseError());
    TRY(journal.discard());
    RecoveryOutcome undone{RecoveryOutcome::Kind::Undone};
    undone.kept = reversal.kept();
    return std::optional(std::move(undone));
}
