#pragma once

#include <filesystem>
#include <string>
#include <system_error>

// The few file operations whose best form differs between platforms. Each reports the system's
// own error; the caller turns it into a runtime error that names the path the player gave.
namespace NativeFileOperations {

// What stands at the path, links followed; a missing entry gives no_such_file_or_directory. On
// Windows a drive's root is a folder too, and a file named with a final separator is missing.
std::error_code status(const std::filesystem::path &path, std::filesystem::file_status &status);

// Streams the bytes through the kernel in constant memory. An existing destination is replaced
// on POSIX and refused on Windows; a failed copy removes what it had written. The copy is
// writable even when the source is not, as a package copied from a CD is.
std::error_code copyContents(const std::filesystem::path &from, const std::filesystem::path &to);

// Fails with file_exists, rather than replacing, when the destination is taken.
std::error_code renameNoReplace(const std::filesystem::path &from, const std::filesystem::path &to);

// Renames over a taken destination. On Windows a read-only destination, such as a status file
// copied from a CD, is made writable first, since the system refuses to replace it otherwise.
std::error_code replace(const std::filesystem::path &from, const std::filesystem::path &to);

// Creates or truncates the file, writes the bytes and waits until they are on the disk.
std::error_code writeDurably(const std::filesystem::path &path, const std::string &bytes);

// Opens the file for appending, creating it when missing, writes the bytes at its end and waits
// until they are on the disk.
std::error_code appendDurably(const std::filesystem::path &path, const std::string &bytes);

// The path's last component spelled as its folder holds it; the component as given when no entry
// has that name.
std::error_code storedName(const std::filesystem::path &path, std::filesystem::path &name);

// Makes the renames and removals inside a folder durable.
std::error_code syncDirectory(const std::filesystem::path &directory);

} // namespace NativeFileOperations
