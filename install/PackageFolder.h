#pragma once

#include "runtime/FileSystem.h"

#include <string>

// The package folder, the installer's current folder, where the mod's files and the status file
// are looked for.
namespace PackageFolder {

// The package folder itself, as the file system names it.
inline const std::string Itself = ".";

// The path of the folder the installer was started from, as the player finds it in a file
// manager; empty when even that cannot be found.
std::string shownPath(FileSystem &fileSystem);
// The path of a file in the package folder as the player finds it in a file manager.
ErrorOr<std::string> pathOf(FileSystem &fileSystem, const std::string &name);

} // namespace PackageFolder
