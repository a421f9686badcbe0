#pragma once

#include "runtime/RuntimeError.h"

#include <string>

// The words the player reads for what the engine reports as data. Every sentence about an error is
// made here, so that another language needs only another set of these functions.
namespace ErrorWording {

// A path or a name as the words show it: between double quotes.
std::string quoted(const std::string &text);
// The runtime's own name for the code: "File not found".
std::string description(RuntimeErrorCode code);
// Why the operation failed; empty when the code says it all.
std::string cause(const RuntimeError &error);
// "Run-time error '53':" above the code's name, then the path and the cause.
std::string report(const RuntimeError &error);
// The paragraph on what a failed procedure left changed, and that the next start tries again.
std::string changesLeft(const ChangesLeft &changes);

} // namespace ErrorWording
