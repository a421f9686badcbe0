#pragma once

#include "runtime/ErrorCause.h"

#include <string>
#include <vector>

// A file that an undo found changed since the procedure wrote it, or standing where it had to put
// back another: the player's work, a game reinstalled, another installation's file. It is never
// deleted or replaced: left where it is (no other name), or kept in the package folder.
struct KeptFile
{
    std::string path;
    std::string keptAs = {};

    bool operator==(const KeptFile &) const = default;
};

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
    // For a journal undone: what the undo met that was not the procedure's to take back.
    std::vector<KeptFile> kept = {};

    bool operator==(const RecoveryOutcome &) const = default;
};
