#pragma once

// What a step of a transaction changed; the paths are those of the step that it names.
enum class StepKind {
    MakeDirectory,   // target was made
    RemoveDirectory, // target, an empty folder, was removed
    Move,            // source was renamed to target
    Copy,            // source is being copied to target, a hidden name that was free
    SetAside,        // target was renamed to aside instead of being deleted
    Rewrite,         // target is being rewritten; its former bytes wait at aside
    Create,          // target, which did not exist before, is being written
};
