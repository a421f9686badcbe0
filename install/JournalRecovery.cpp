#include "JournalRecovery.h"

#include "Journal.h"
#include "JournalOwnership.h"
#include "StepReversal.h"

namespace {

RuntimeError withIntroduction(RuntimeError error)
{
    error.setChangesLeft("The last installation or removal of BEXOM was interrupted, and not "
                         "all of it could be undone.\n" +
                         error.changesLeft());
    return error;
}

// The notice with its two blanks filled, each once, whatever the texts put into them hold.
std::string foreignNotice(const std::string &why, const std::string &keptAs)
{
    const std::string &notice = JournalRecovery::ForeignNotice;
    const std::size_t first = notice.find("%1");
    const std::size_t second = notice.find("%2");
    return notice.substr(0, first) + why + notice.substr(first + 2, second - first - 2) + keptAs +
           notice.substr(second + 2);
}

} // namespace

ErrorOr<std::string> JournalRecovery::recover()
{
    Journal journal(m_fileSystem);
    const std::optional<JournalContents> contents = TRY(journal.resume());
    if (!contents)
        return std::string();
    if (const std::string why = TRY(JournalOwnership(m_fileSystem).mismatch(*contents));
        !why.empty())
        return foreignNotice(why, TRY(journal.setAside()));
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
