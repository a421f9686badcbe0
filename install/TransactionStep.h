#pragma once

#include <string>

// One change that a transaction has made, as plain data: enough to undo it, or to make it final
// once the whole transaction has succeeded.
struct TransactionStep
{
    enum class Kind {
        MakeDirectory,   // target was made
        RemoveDirectory, // target, an empty folder, was removed
        Move,            // source was renamed to target
        Copy,            // source is being copied to target, a hidden name that was free
        SetAside,        // target was renamed to aside instead of being deleted
        Rewrite,         // target is being rewritten; its former bytes wait at aside
        Create,          // target, which did not exist before, is being written
    };

    // Begins the names under which a transaction keeps files aside and makes its copies: hidden,
    // and never a name the player gave a file.
    static inline const std::string HiddenNamePrefix = ".bexom-aside-";

    Kind kind;
    std::string source;
    std::string target;
    std::string aside;

    bool operator==(const TransactionStep &) const = default;
};
