#pragma once

#include "runtime/InstanceLock.h"
#include "runtime/MessageBox.h"

#include <filesystem>
#include <optional>
#include <string>

// Lets one installer at a time run from a package folder. A second one would take the first's
// journal, still being written, for the journal of a crash and undo the first's work under its
// feet; so it tells the player and ends before it touches anything.
class SingleInstanceGuard final
{
public:
    // The package folder's lock, to be held for as long as the program runs; nothing, once the
    // player has been told why, when the program must end.
    static std::optional<InstanceLock> lockOrTell(const std::filesystem::path &packageFolder,
                                                  MessageBox &messageBox);
};
