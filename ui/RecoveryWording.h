#pragma once

#include "install/RecoveryOutcome.h"

#include <string>
#include <vector>

// The words the player reads at start-up for what the recovery did with the journals of
// installations and removals that were cut short.
namespace RecoveryWording {

inline const std::string UndoneNotice =
    "The last installation or removal of BEXOM was interrupted before it could finish. It has "
    "been undone: the game folder and the status file are as they were before it started.";
// Followed by one line for each file that was neither deleted nor replaced.
inline const std::string UndoneAroundChangesNotice =
    "The last installation or removal of BEXOM was interrupted before it could finish. It has "
    "been undone, save for these files, which had changed since it wrote them or stood where it "
    "had to put another back. None of them was deleted or replaced:";
// What a procedure that failed and undid its steps tells after its error when the undo met such
// files; followed by the same lines.
inline const std::string UndoneAroundChangesOutcome =
    "What BEXOM had done has been undone, save for these files, which had changed since it wrote "
    "them or stood where it had to put another back. None of them was deleted or replaced:";
inline const std::string FinishedNotice =
    "The last installation or removal of BEXOM was interrupted just after it had finished its "
    "work. The work stands; only the former files it had kept aside have now been cleared away.";
// Followed by one line for each file set aside that had changed since, and was kept.
inline const std::string FinishedAroundChangesNotice =
    "The last installation or removal of BEXOM was interrupted just after it had finished its "
    "work. The work stands, and the former files it had kept aside have now been cleared away, "
    "save for these, which had changed since it set them aside. None of them was deleted:";
// The first blank says why the journal is not this installer's, the second what it is now called.
inline const std::string ForeignNotice =
    "A journal of an interrupted installation or removal of BEXOM was found, but it does not "
    "belong to this game folder and package: %1. Nothing was changed. It has been kept as \"%2\".";

// One notice for all the journals, each notice once however many journals it tells of; empty when
// there was no journal.
std::string notice(const std::vector<RecoveryOutcome> &outcomes);
// One line for each file an undo neither deleted nor replaced, each beginning with a line break.
std::string keptLines(const std::vector<KeptFile> &kept);

} // namespace RecoveryWording
