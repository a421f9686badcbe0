#include "InstanceLock.h"

#include <windows.h>

namespace {

std::error_code lastError()
{
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

} // namespace

ErrorOr<std::optional<InstanceLock>> InstanceLock::acquire(const std::filesystem::path &folder,
                                                           const std::string &path)
{
    // A folder cannot carry a byte-range lock, so a hidden file in it does. Every installer opens
    // the same file and shares it; the lock on its first byte is what only one of them gets. The
    // system deletes the file once the last handle on it is closed.
    const HANDLE file =
        ::CreateFileW((folder / L".bexom-lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return RuntimeError::fromErrorCode(lastError(), path);
    InstanceLock lock(reinterpret_cast<NativeHandle>(file));
    OVERLAPPED start{};
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start))
        return std::optional<InstanceLock>(std::move(lock));
    if (::GetLastError() == ERROR_LOCK_VIOLATION)
        return std::optional<InstanceLock>();
    return RuntimeError::fromErrorCode(lastError(), path);
}

InstanceLock::~InstanceLock()
{
    if (m_handle != Released)
        ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}
