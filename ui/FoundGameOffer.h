#pragma once

#include "runtime/RuntimeError.h"

#include <optional>
#include <string>

// The game found elsewhere that a refusal of the folder given offers to use instead: the first
// one listed, which has the expansion chosen when any game found has it, if the edition chosen
// can be installed into it.
class FoundGameOffer final
{
public:
    // Nothing when the refusal lists no game, or none that the edition chosen can take.
    static std::optional<std::string> folderFor(const RuntimeError &refusal);
    // The refusal's message, ended by the question.
    static std::string prompt(const RuntimeError &refusal, const std::string &folder);
};
