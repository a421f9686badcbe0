#include "JournalRecovery.h"

#include "Journal.h"
#include "JournalOwnership.h"
#include "KeptJournals.h"
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

// The notice with its two blanks filled, each once, whatever the texts put into them hold.
std::string foreignNotice(const std::string &why, const std::string &keptAs)
{
    const std::string &notice = JournalRecovery::ForeignNotice;
    const std::size_t first = notice.find("%1");
    const std::size_t second = notice.find("%2");
    return notice.substr(0, first) + why + notice.substr(first + 2, second - first - 2) + keptAs +
           notice.substr(second + 2);
}

// Each notice once, however many journals it tells of.
std::string withNotice(const std::string &notices, const std::string &notice)
{
    if (notices.find(notice) != std::string::npos)
        return notices;
    if (notices.empty())
        return notice;
    return notices + "\n\n" + notice;
}

} // namespace

ErrorOr<std::string> JournalRecovery::recover()
{
    // The journal's discarding is the last thing a start does, so that a start that dies before
    // it leaves the journal, and the notice, for the next one.
    if (std::string notice = TRY(recoverJournal()); !notice.empty())
        return notice;
    // The journals kept at earlier starts whose folders are here again (the installer started
    // again from their package folder under their Wine set-up) are put right as if never kept,
    // each in a transaction of its own.
    std::string notices;
    KeptJournals kept(m_fileSystem);
    for (const std::string &name : TRY(kept.matched())) {
        TRY(kept.takeBack(name, Journal::FileName));
        notices = withNotice(notices, TRY(recoverJournal()));
    }
    return notices;
}

ErrorOr<std::string> JournalRecovery::recoverJournal()
{
    Journal journal(m_fileSystem);
    // A folder, a named pipe or a link in its place was never written by a transaction; read, it
    // could block the start or fail at every one.
    const EntryKind kind = TRY(m_fileSystem.entryKind(Journal::FileName));
    if (kind != EntryKind::Missing &&
        (kind != EntryKind::File ||
         TRY(m_fileSystem.linkKind(Journal::FileName)) != LinkKind::NotALink))
        return foreignNotice("it is not a plain file", TRY(journal.setAside()));
    const std::optional<JournalContents> contents = TRY(journal.resume());
    if (!contents)
        return std::string();
    if (const std::string why = TRY(JournalOwnership(m_fileSystem).mismatch(*contents));
        !why.empty())
        return foreignNotice(why, TRY(journal.setAside()));
    // No installer started from another copy of the package works on the game folder meanwhile:
    // the folder as it is reached now, which may be by another path than the journal's.
    const InstanceLock gameLock =
        TRY(TRY(TransactionScope::resolve(m_fileSystem, contents->scope->gameDirectory))
                .lockGameFolder());
    // The undo works in the folders as they were found, never through one swapped for a link
    // meanwhile.
    TransactionFolders folders(m_fileSystem);
    TRY(folders.hold(GameFolder(contents->scope->gameDirectory)));
    StepReversal reversal(m_fileSystem);
    if (contents->committed) {
        TRY(reversal.dropAsides(contents->steps));
        TRY(journal.discard());
        return FinishedNotice;
    }
    if (ErrorOr<void> undone = reversal.undo(contents->stepsToUndo(), journal); undone.isError())
        return asInterrupted(undone.releaseError());
    TRY(journal.discard());
    return UndoneNotice;
}
