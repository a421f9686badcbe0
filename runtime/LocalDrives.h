#pragma once

#include <string>
#include <vector>

// The drives on which a Windows program may have been installed, each as the root a player types:
// "C:\". Only local hard drives count: a network share or a disc may keep the installer waiting.
namespace LocalDrives {

// In order of their letters; none when they cannot be listed.
std::vector<std::string> roots();

} // namespace LocalDrives
