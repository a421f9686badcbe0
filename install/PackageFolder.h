#pragma once

#include "runtime/FileSystem.h"

#include <string>

// The package folder, the installer's current folder, where the mod's files and the status file
// are looked for.
namespace PackageFolder {

// "the folder the installer was started from, C:\BEXOM", the path as the player finds it in a file
// manager; without the path when even that cannot be found.
std::string described(FileSystem &fileSystem);

} // namespace PackageFolder
