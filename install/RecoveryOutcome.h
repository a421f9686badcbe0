#pragma once

#include "runtime/ErrorCause.h"
#include "runtime/KeptFile.h"

#include <string>
#include <vector>

// What the start-up recovery did with one journal it found.
struct RecoveryOutcome
{
    enum class Kind {
        // Cut short before its commit record: its steps are undone.
        Undone,
        // Cut short after it: the work stands, and the former files kept aside are dropped.
        Finished,
        // Not this installer's to act on: kept under another name, with nothing changed.
        KeptAside,
    };

    Kind kind = Kind::Undone;
    // For a journal kept aside: the name it is kept under, and why it was not acted on.
    std::string keptAs = {};
    ErrorCause why = {};
    // For a journal undone: what the undo met that was not the procedure's to take back; for one
    // finished: the files set aside that had changed since, which it did not drop.
    std::vector<KeptFile> kept = {};

    bool operator==(const RecoveryOutcome &) const = default;
};
