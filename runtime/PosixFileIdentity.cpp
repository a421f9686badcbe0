#include "FileIdentity.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace NativeFileOperations {

std::error_code identify(const std::filesystem::path &path, FileIdentity &identity)
{
    struct statx status
    {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_INO | STATX_BTIME, &status) != 0)
        return {errno, std::generic_category()};
    const bool born = (status.stx_mask & STATX_BTIME) != 0;
    // The device number as stat gives it, so that identities recorded before still compare.
    identity = {static_cast<std::uint64_t>(makedev(status.stx_dev_major, status.stx_dev_minor)),
                status.stx_ino,
                born ? static_cast<std::uint64_t>(status.stx_btime.tv_sec) * 1000000000u +
                           status.stx_btime.tv_nsec
                     : 0};
    return {};
}

} // namespace NativeFileOperations
