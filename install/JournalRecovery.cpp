#include "JournalRecovery.h"

#include "Journal.h"
#include "JournalOwnership.h"
#include "StepReversal.h"

namespace {

RuntimeError withIntroduction(RuntimeError error)
{
    error.setChangesLeft(QStringLiteral("The last installation or removal of BEXOM was "
                                        "interrupted, and not all of it could be undone.\n") +
                         error.changesLeft());
    return error;
}

} // namespace

ErrorOr<QString> JournalRecovery::recover()
{
    Journal journal(m_fileSystem);
    const std::optional<JournalContents> contents = TRY(journal.resume());
    if (!contents)
        return QString();
    if (const QString why = TRY(JournalOwnership(m_fileSystem).mismatch(*contents)); !why.isEmpty())
        return ForeignNotice.arg(why, TRY(journal.setAside()));
    // No installer started from another copy of the package works on the game folder meanwhile.
    const InstanceLock gameLock = TRY(contents->scope->lockGameFolder());
    StepReversal reversal(m_fileSystem);
    if (contents->committed) {
        TRY(reversal.dropAsides(contents->steps));
        TRY(journal.discard());
        return FinishedNotice;
    }
    if (ErrorOr<void> undone = reversal.undo(contents->stepsToUndo(), journal); undone.isError())
        return withIntroduction(undone.releaseError());
    TRY(journal.discard());
    return UndoneNotice;
}
