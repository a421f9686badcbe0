#pragma once

#include <cstdint>
#include <string>

// What a file holds, in brief: its size and the SHA-256 of its bytes.
struct FileDigest
{
    std::int64_t size = 0;
    // The 32 bytes of the hash.
    std::string sha256;

    bool operator==(const FileDigest &) const = default;
};
