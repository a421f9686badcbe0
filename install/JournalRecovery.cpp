#include "JournalRecovery.h"

#include "Journal.h"
#include "StepReversal.h"

namespace {

RuntimeError withIntroduction(RuntimeError error)
{
    error.setChangesLeft("The last installation or removal of BEXOM was interrupted, and not "
                         "all of it could be undone.\n" +
                         error.changesLeft());
    return error;
}

} // namespace

ErrorOr<std::string> JournalRecovery::recover()
{
    Journal journal(m_fileSystem);
    const std::optional<JournalContents> contents = TRY(journal.resume());
    if (!contents)
        return std::string();
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
