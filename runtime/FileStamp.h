#pragma once

#include "FileIdentity.h"

#include <cstdint>

#include <filesystem>
#include <system_error>

// What tells whether a file was written to, replaced or turned into a link between two looks at
// it, without reading it: the entry itself is looked at, links not followed.
struct FileStamp
{
    FileIdentity identity;
    std::uint64_t size = 0;
    // The times of the last write and of the last change of any kind, in the system's own units;
    // a program may set the first back, never the second.
    std::int64_t written = 0;
    std::int64_t changed = 0;
    bool isLink = false;
    // Whether the entry was changed so shortly before the look that a write just after it could
    // fall within the same tick of the file system's clock and leave both times as they were.
    bool isRecent = false;

    bool operator==(const FileStamp &) const = default;
    // Whether the entry is a file that holds, at the second look, what it held at this one.
    bool isSettledAndSameAs(const FileStamp &later) const
    {
        return !isLink && !isRecent && *this == later;
    }
};

namespace NativeFileOperations {

std::error_code stamp(const std::filesystem::path &path, FileStamp &stamp);

} // namespace NativeFileOperations
