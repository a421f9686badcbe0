#pragma once

#include "runtime/FileSystem.h"

#include <string>

// Puts right, at start-up, an installation or removal that the process did not live to finish:
// a crash, a kill or a power cut left its journal behind. Until the journal's commit record, the
// recorded steps are undone; after it, the work stands and only the former files kept aside are
// still to be dropped. A journal that was not written for this package folder and its game folder
// as they are now is never acted on: it is kept under another name, and the player is told; once
// its folders are here again, at a later start, it is acted on after all.
class JournalRecovery final
{
public:
    static inline const std::string UndoneNotice =
        "The last installation or removal of BEXOM was interrupted before it could finish. It "
        "has been undone: the game folder and the status file are as they were before it "
        "started.";
    static inline const std::string FinishedNotice =
        "The last installation or removal of BEXOM was interrupted just after it had finished "
        "its work. The work stands; only the former files it had kept aside have now been "
        "cleared away.";

    // The first argument says why the journal is not this installer's, the second what it is
    // now called.
    static inline const std::string ForeignNotice =
        "A journal of an interrupted installation or removal of BEXOM was found, but it does not "
        "belong to this game folder and package: %1. Nothing was changed. It has been kept as "
        "\"%2\".";

    explicit JournalRecovery(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    // Returns what was done, in words for the player; nothing when there was no journal. When a
    // step cannot be undone, the journal stays for the next start to try again.
    ErrorOr<std::string> recover();

private:
    ErrorOr<std::string> recoverJournal();

    FileSystem &m_fileSystem;
};
