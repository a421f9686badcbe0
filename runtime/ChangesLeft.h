#pragma once

#include "RuntimeErrorCode.h"
#include "StepKind.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What a failed procedure left changed on the disk, as the journal knows it. The journal stays
// while anything is left, and the installer's next start tries again to put it right.
struct ChangesLeft
{
    // Whether the changes are those of this procedure or of one a crash had cut short.
    enum class Origin { ThisProcedure, InterruptedProcedure };

    // A step whose undoing failed, and the steps before it, which are still done.
    struct StuckUndo
    {
        // Nothing when the step was undone but the journal could not record it.
        std::optional<StepKind> kind;
        std::string source;
        std::string target;
        std::string aside;
        RuntimeErrorCode failure = RuntimeErrorCode::PathFileAccessError;
        std::size_t stepsStillDone = 0;
    };

    // A former file kept aside that could not be deleted once the work was done.
    struct AsideLeft
    {
        std::string path;
        RuntimeErrorCode failure;
    };

    // The journal itself, which could not be deleted once the work was done or undone.
    struct JournalLeft
    {
        enum class After { WorkDone, WorkUndone };
        After after;
        RuntimeErrorCode failure;
    };

    Origin origin = Origin::ThisProcedure;
    std::optional<StuckUndo> stuckUndo;
    std::vector<AsideLeft> asidesLeft;
    std::optional<JournalLeft> journalLeft;
};
