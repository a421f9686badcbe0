#include "FileIdentity.h"

#include <cerrno>
#include <sys/stat.h>

namespace NativeFileOperations {

std::error_code identify(const std::filesystem::path &path, FileIdentity &identity)
{
    struct stat status
    {};
    if (::stat(path.c_str(), &status) != 0)
        return {errno, std::generic_category()};
    identity = {static_cast<std::uint64_t>(status.st_dev),
                static_cast<std::uint64_t>(status.st_ino)};
    return {};
}

} // namespace NativeFileOperations
