#pragma once

#include <functional>
#include <optional>
#include <string>

// Turns a folder that a program recorded (in a registry, in Steam's list of libraries) into one
// the installer can reach and the player can type, with a final separator: nothing when it cannot
// be reached from here, such as a drive of another Wine prefix that is not its C:.
using RecordedPathReach = std::function<std::optional<std::string>(const std::string &)>;
