#include "FileIdentity.h"
#include "FileStamp.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <time.h>

namespace {

std::int64_t nanoseconds(const statx_timestamp &time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

std::error_code statusOf(int folder, const char *path, int flags, unsigned mask,
                         struct statx &status)
{
    if (::statx(folder, path, flags, mask | STATX_INO | STATX_BTIME, &status) != 0)
        return {errno, std::generic_category()};
    return {};
}

FileIdentity identityOf(const struct statx &status)
{
    const bool born = (status.stx_mask & STATX_BTIME) != 0;
    // The device number as stat gives it, so that identities recorded before still compare.
    return {static_cast<std::uint64_t>(makedev(status.stx_dev_major, status.stx_dev_minor)),
            status.stx_ino, born ? static_cast<std::uint64_t>(nanoseconds(status.stx_btime)) : 0};
}

// File systems take their times from a clock that ticks every few milliseconds, and FAT every
// two seconds.
constexpr std::int64_t LongestTick = 3'000'000'000;

} // namespace

namespace NativeFileOperations {

std::error_code identify(const std::filesystem::path &path, FileIdentity &identity)
{
    struct statx status
    {};
    if (const std::error_code error = statusOf(AT_FDCWD, path.c_str(), 0, 0, status))
        return error;
    identity = identityOf(status);
    return {};
}

std::error_code identifyOpen(std::intptr_t handle, FileIdentity &identity)
{
    struct statx status
    {};
    if (const std::error_code error =
            statusOf(static_cast<int>(handle), "", AT_EMPTY_PATH, 0, status))
        return error;
    identity = identityOf(status);
    return {};
}

std::error_code stamp(const std::filesystem::path &path, FileStamp &stamp)
{
    struct statx status
    {};
    if (const std::error_code error =
            statusOf(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW,
                     STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_CTIME, status))
        return error;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t changed = nanoseconds(status.stx_ctime);
    stamp = {identityOf(status),
             status.stx_size,
             nanoseconds(status.stx_mtime),
             changed,
             S_ISLNK(status.stx_mode),
             static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec - changed <
                 LongestTick};
    return {};
}

} // namespace NativeFileOperations
