#pragma once

#include <cstdint>

#include <filesystem>
#include <system_error>

// What tells one file or folder from every other on the machine, whatever path leads to it: the
// device and inode on POSIX, the volume serial number and file index on Windows. A folder deleted
// and made again under the same path has a new identity.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t file = 0;

    bool operator==(const FileIdentity &) const = default;
};

namespace NativeFileOperations {

// The identity of what the path leads to, links followed.
std::error_code identify(const std::filesystem::path &path, FileIdentity &identity);

} // namespace NativeFileOperations
