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
// What happened and what to do, in the player's words, then the path: the player reads the
// sentence first. A hidden name of the installer's own stands for the folder that holds it.
std::string report(const RuntimeError &error);
// "Run-time error '61': Disk full", on one line, for the player to quote when asking for help.
std::string codeLine(const RuntimeError &error);
// The paragraph on what a failed procedure left changed, and that the next start tries again.
std::string changesLeft(const ChangesLeft &changes);

} // namespace ErrorWording
