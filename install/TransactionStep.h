#pragma once

#include "runtime/FileDigest.h"
#include "runtime/StepKind.h"

#include <optional>

#include <string>

// One change that a transaction has made, as plain data: enough to undo it, or to make it final
// once the whole transaction has succeeded.
struct TransactionStep
{
    using Kind = StepKind;

    // Begins the names under which a transaction keeps files aside and makes its copies: hidden,
    // and never a name the player gave a file.
    static inline const std::string HiddenNamePrefix = ".bexom-aside-";

    Kind kind;
    std::string source;
    std::string target;
    std::string aside;
    // What a creation or a rewrite puts at its target, so that its undo acts only while the
    // target still holds it; what the copy of a rewritten file's former bytes holds, so that
    // making the rewrite final drops the copy only while it still holds that. Nothing in a
    // journal of an earlier version, which kept none.
    std::optional<FileDigest> written = {};
    // What a file set aside held, so that making the step final drops the aside only while it
    // still holds that. Nothing in a journal of an earlier version, which kept none.
    std::optional<FileDigest> held = {};

    bool operator==(const TransactionStep &) const = default;
};
