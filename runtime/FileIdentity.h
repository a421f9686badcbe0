#pragma once

#include <cstdint>

#include <filesystem>
#include <system_error>

// What tells one file or folder from every other on the machine, whatever path leads to it: the
// device and inode on POSIX, the volume serial number and file index on Windows, and on POSIX the
// time it was made where the file system keeps one. A folder deleted and made again under the same
// path may well get the same inode back; its birth time then still tells it apart.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    // Nanoseconds; 0 where the file system keeps none, on Windows, or where the identity was
    // recorded by a version that did not read it.
    std::uint64_t birth = 0;

    bool operator==(const FileIdentity &) const = default;
    // For sets of thousands of identities.
    auto operator<=>(const FileIdentity &) const = default;
    // Whether both lead to the same thing, the birth times compared only where both are known.
    bool isSameAs(const FileIdentity &other) const
    {
        return device == other.device && file == other.file &&
               (birth == 0 || other.birth == 0 || birth == other.birth);
    }
};

namespace NativeFileOperations {

// The identity of what the path leads to, links followed.
std::error_code identify(const std::filesystem::path &path, FileIdentity &identity);
// The identity of an open file, wherever it has been moved since: a descriptor on POSIX, a handle
// on Windows.
std::error_code identifyOpen(std::intptr_t handle, FileIdentity &identity);

} // namespace NativeFileOperations
