#pragma once

#include <QByteArray>

#include <filesystem>
#include <system_error>

// The few file operations whose best form differs between platforms. Each reports the system's
// own error; the caller turns it into a runtime error that names the path the player gave.
namespace NativeFileOperations {

// Streams the bytes through the kernel in constant memory. An existing destination is replaced;
// a failed copy removes what it had written.
std::error_code copyContents(const std::filesystem::path &from, const std::filesystem::path &to);

// Fails with file_exists, rather than replacing, when the destination is taken.
std::error_code renameNoReplace(const std::filesystem::path &from, const std::filesystem::path &to);

// Creates or truncates the file, writes the bytes and waits until they are on the disk.
std::error_code writeDurably(const std::filesystem::path &path, const QByteArray &bytes);

// Opens the file for appending, creating it when missing, writes the bytes at its end and waits
// until they are on the disk.
std::error_code appendDurably(const std::filesystem::path &path, const QByteArray &bytes);

// Creates the file, failing with file_exists when the name is taken, writes the bytes and waits
// until they are on the disk.
std::error_code createDurably(const std::filesystem::path &path, const QByteArray &bytes);

// Makes the renames and removals inside a folder durable.
std::error_code syncDirectory(const std::filesystem::path &directory);

} // namespace NativeFileOperations
