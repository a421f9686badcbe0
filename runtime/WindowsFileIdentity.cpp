#include "FileIdentity.h"

#include <windows.h>

namespace NativeFileOperations {

std::error_code identify(const std::filesystem::path &path, FileIdentity &identity)
{
    // A folder opens only with backup semantics; reading its attributes needs no more access.
    // Wine refuses the final separator that names a folder, as in "\\?\C:\GAME\".
    const std::filesystem::path opened =
        path.has_filename() || !path.has_relative_path() ? path : path.parent_path();
    const HANDLE file = ::CreateFileW(opened.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {static_cast<int>(::GetLastError()), std::system_category()};
    BY_HANDLE_FILE_INFORMATION information{};
    const bool read = ::GetFileInformationByHandle(file, &information);
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    if (!read)
        return {static_cast<int>(error), std::system_category()};
    // No birth time: Wine, under which most players run this program, gives a folder's change
    // time as its creation time, and a folder would seem made anew at every step.
    identity = {information.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) |
                    information.nFileIndexLow};
    return {};
}

} // namespace NativeFileOperations
