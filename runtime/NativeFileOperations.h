#pragma once

#include "FileSystem.h"

#include <cstdint>
#include <string>

#include <filesystem>
#include <system_error>

// The few file operations whose best form differs between platforms. Each reports the system's
// own error; the caller turns it into a runtime error that names the path the player gave.
namespace NativeFileOperations {

// Whether a status describes the target of a link or the link itself.
enum class Links { Follow, Stay };

// What stands at the path; a missing entry gives no_such_file_or_directory. On Windows a drive's
// root is a folder too, and a file named with a final separator is missing.
std::error_code status(const std::filesystem::path &path, Links links,
                       std::filesystem::file_status &status);

// Every operation that opens a file opens only a plain file: a folder gives is_a_directory, and
// a named pipe, a device or a socket gives not_supported, without waiting on it.

// The full path with "." and ".." and, on POSIX, links resolved, as far as it exists. Windows
// paths are full and normalized already; only a final separator goes.
std::error_code resolve(const std::filesystem::path &path, std::filesystem::path &resolved);

// Streams the bytes through the kernel in constant memory into a destination created for it,
// never through a link, and waits until they are on the disk. A taken destination gives
// file_exists; a failed copy removes what it had written. The copy is writable even when the
// source is not, as a package copied from a CD is. Windows flushes every copy at once, since
// flushing a whole volume takes an administrator.
std::error_code copyContents(const std::filesystem::path &from, const std::filesystem::path &to,
                             Flush flush);

// The two renames work within one file system: a destination on another gives cross_device_link,
// never a copy, so that the caller makes the move through a copy a crash cannot leave torn at the
// destination's name.

// Fails with file_exists, rather than replacing, when the destination is taken.
std::error_code renameNoReplace(const std::filesystem::path &from, const std::filesystem::path &to);

// Renames over a taken destination. On Windows a read-only destination, such as a status file
// copied from a CD, is made writable first, since the system refuses to replace it otherwise.
std::error_code replace(const std::filesystem::path &from, const std::filesystem::path &to);

// Creates or truncates the file, never through a link, writes the bytes and waits until they are
// on the disk.
std::error_code writeDurably(const std::filesystem::path &path, const std::string &bytes);

// Opens the file for appending, creating it when missing but never through a link, writes the
// bytes at its end and waits until they are on the disk.
std::error_code appendDurably(const std::filesystem::path &path, const std::string &bytes);

// Whether a name that status() finds missing is free for a new entry. Wine hides from every lookup
// a link of the host whose target is gone, and a rename onto it replaces it: only a creation meets
// it. So on Windows a file is made at the name and deleted as it is closed; elsewhere every entry
// is seen, and the name is free.
std::error_code isUnseenNameFree(const std::filesystem::path &path, bool &free);

// The path's last component spelled as its folder holds it; the component as given when no entry
// has that name.
std::error_code storedName(const std::filesystem::path &path, std::filesystem::path &name);

// A plain file opened for reading, which other programs and later steps may rename or delete
// while it is open: a descriptor on POSIX, a handle on Windows.
using ReadHandle = std::intptr_t;
std::error_code openForReading(const std::filesystem::path &path, ReadHandle &handle);
// Reads up to size bytes and gives how many were read; none at the end of the file.
std::error_code readSome(ReadHandle handle, char *buffer, std::size_t size, std::size_t &count);
void closeReading(ReadHandle handle);

// Reads the whole file; one larger than limit bytes gives file_too_large.
std::error_code readContents(const std::filesystem::path &path, std::size_t limit,
                             std::string &bytes);
// Creates the file, failing with file_exists when the name is taken, writes the bytes and waits
// until they are on the disk.
std::error_code createDurably(const std::filesystem::path &path, const std::string &bytes);

// The user who owns the entry, as the system knows it; nobody on Windows, where an administrator
// may change any folder, and when it cannot be told.
FolderOwner owner(const std::filesystem::path &path);

// Makes the renames and removals inside a folder durable.
std::error_code syncDirectory(const std::filesystem::path &directory);

// Makes everything written to the file system that holds the folder durable.
std::error_code syncFileSystem(const std::filesystem::path &folder);

} // namespace NativeFileOperations
