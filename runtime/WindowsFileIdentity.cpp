#include "FileIdentity.h"
#include "FileStamp.h"

#include <windows.h>

#include <algorithm>

namespace {

std::error_code lastError()
{
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// Opened only to read the attributes, which needs no more access and lets every other program
// go on. A folder opens only with backup semantics.
std::error_code openAttributes(const std::filesystem::path &path, DWORD flags, HANDLE &file)
{
    // Wine refuses the final separator that names a folder, as in "\\?\C:\GAME\".
    const std::filesystem::path opened =
        path.has_filename() || !path.has_relative_path() ? path : path.parent_path();
    file = ::CreateFileW(opened.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
    return file == INVALID_HANDLE_VALUE ? lastError() : std::error_code();
}

std::uint64_t joined(DWORD high, DWORD low)
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

// No birth time: Wine, under which most players run this program, gives a folder's change time as
// its creation time, and a folder would seem made anew at every step.
FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION &information)
{
    return {information.dwVolumeSerialNumber,
            joined(information.nFileIndexHigh, information.nFileIndexLow)};
}

std::int64_t ticksOf(const FILETIME &time)
{
    return static_cast<std::int64_t>(joined(time.dwHighDateTime, time.dwLowDateTime));
}

// In the 100-nanosecond ticks of file times; FAT keeps the time of a write to two seconds.
constexpr std::int64_t LongestTick = 30'000'000;

} // namespace

namespace NativeFileOperations {

std::error_code identify(const std::filesystem::path &path, FileIdentity &identity)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if (const std::error_code error = openAttributes(path, 0, file))
        return error;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool read = ::GetFileInformationByHandle(file, &information);
    const std::error_code error = lastError();
    ::CloseHandle(file);
    if (!read)
        return error;
    identity = identityOf(information);
    return {};
}

std::error_code identifyOpen(std::intptr_t handle, FileIdentity &identity)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(reinterpret_cast<HANDLE>(handle), &information))
        return lastError();
    identity = identityOf(information);
    return {};
}

std::error_code stamp(const std::filesystem::path &path, FileStamp &stamp)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if (const std::error_code error = openAttributes(path, FILE_FLAG_OPEN_REPARSE_POINT, file))
        return error;
    BY_HANDLE_FILE_INFORMATION information{};
    FILE_BASIC_INFO basic{};
    const bool read = ::GetFileInformationByHandle(file, &information) &&
                      ::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic);
    const std::error_code error = lastError();
    ::CloseHandle(file);
    if (!read)
        return error;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const std::int64_t written = ticksOf(information.ftLastWriteTime);
    // FAT keeps no change time.
    const std::int64_t changed =
        basic.ChangeTime.QuadPart != 0 ? basic.ChangeTime.QuadPart : written;
    stamp = {identityOf(information),
             joined(information.nFileSizeHigh, information.nFileSizeLow),
             written,
             changed,
             (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
             ticksOf(now) - std::max(changed, written) < LongestTick};
    return {};
}

} // namespace NativeFileOperations
