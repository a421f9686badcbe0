#include "InstanceLock.h"

#include <windows.h>

namespace {

const wchar_t *const LockFileName = L".bexom-lock";

std::error_code lastError()
{
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// The lock file of another installer, made by either means, stands in the way.
bool heldElsewhere(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_FILE_EXISTS ||
           error == ERROR_LOCK_VIOLATION;
}

} // namespace

ErrorOr<std::optional<InstanceLock>> InstanceLock::acquire(const std::filesystem::path &folder,
                                                           const std::string &path, Means means)
{
    if (means == Means::LockFile)
        return acquireLockFile(folder, path);
    // A folder cannot carry a byte-range lock, so a hidden file in it does. Every installer opens
    // the same file and shares it; the lock on its first byte is what only one of them gets. The
    // system deletes the file once the last handle on it is closed.
    const HANDLE file =
        ::CreateFileW((folder / LockFileName).c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE && heldElsewhere(::GetLastError()))
        return std::optional<InstanceLock>();
    if (file == INVALID_HANDLE_VALUE)
        return RuntimeError::fromErrorCode(lastError(), path);
    std::optional<InstanceLock> lock = InstanceLock(reinterpret_cast<NativeHandle>(file));
    OVERLAPPED start{};
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start))
        return lock;
    const DWORD error = ::GetLastError();
    if (heldElsewhere(error))
        return std::optional<InstanceLock>();
    if (error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_FUNCTION)
        return RuntimeError::fromErrorCode(lastError(), path);
    // The shared file goes first, so that the lock file can take its name.
    lock.reset();
    return acquireLockFile(folder, path);
}

// Made only where no file stands, and shared with no one, so that every other installer is turned
// away; the system deletes it with the last handle, so a crash never leaves it behind. A power
// cut may: a lock file that no process has open is deleted, which the sharing of a live one
// refuses, and made anew.
ErrorOr<std::optional<InstanceLock>>
InstanceLock::acquireLockFile(const std::filesystem::path &folder, const std::string &path)
{
    const std::filesystem::path lockFile = folder / LockFileName;
    const auto create = [&] {
        return ::CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    };
    HANDLE file = create();
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS &&
        ::DeleteFileW(lockFile.c_str()))
        file = create();
    if (file == INVALID_HANDLE_VALUE && heldElsewhere(::GetLastError()))
        return std::optional<InstanceLock>();
    if (file == INVALID_HANDLE_VALUE)
        return RuntimeError::fromErrorCode(lastError(), path);
    return std::optional<InstanceLock>(InstanceLock(reinterpret_cast<NativeHandle>(file)));
}

InstanceLock::~InstanceLock()
{
    if (m_handle != Released)
        ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}
