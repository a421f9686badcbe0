#pragma once

#include "RecoveryOutcome.h"
#include "runtime/FileSystem.h"

#include <optional>
#include <vector>

// Puts right, at start-up, an installation or removal that the process did not live to finish:
// a crash, a kill or a power cut left its journal behind. Until the journal's commit record, the
// recorded steps are undone; after it, the work stands and only the former files kept aside are
// still to be dropped. A journal that was not written for this package folder and its game folder
// as they are now is never acted on: it is kept under another name, and the player is told; once
// its folders are here again, at a later start, it is acted on after all.
class JournalRecovery final
{
public:
    explicit JournalRecovery(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    // Returns what was done with each journal found, in the order found; nothing when there was
    // none. When a step cannot be undone, the journal stays for the next start to try again.
    ErrorOr<std::vector<RecoveryOutcome>> recover();

private:
    ErrorOr<std::optional<RecoveryOutcome>> recoverJournal();
    ErrorOr<void> deleteTemporaries();

    FileSystem &m_fileSystem;
};
