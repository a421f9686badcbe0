#pragma once

#include "ErrorOr.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

// An exclusive lock on a folder, held until the object goes: while one installer holds it, no
// other process gets it. The system's own lock goes with the process, so a crash never leaves it
// behind. Where the folder's file system refuses such locks (some network shares and FUSE
// mounts), a lock file made only where none stands takes its place; it names its owner, so that
// one left by a crash is taken over once that owner is gone.
class InstanceLock final
{
public:
    enum class Means { SystemLock, LockFile };

    // Nothing when another process holds the lock; an error names the path as the player gave it.
    // A system lock that the file system refuses falls back to the lock file.
    static ErrorOr<std::optional<InstanceLock>> acquire(const std::filesystem::path &folder,
                                                        const std::string &path,
                                                        Means means = Means::SystemLock);

    InstanceLock(InstanceLock &&other) noexcept
        : m_handle(std::exchange(other.m_handle, Released)),
          m_lockFile(std::exchange(other.m_lockFile, {}))
    {}
    InstanceLock &operator=(InstanceLock &&other) noexcept
    {
        std::swap(m_handle, other.m_handle);
        std::swap(m_lockFile, other.m_lockFile);
        return *this;
    }
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;
    ~InstanceLock();

private:
    // A descriptor on POSIX, a handle on Windows.
    using NativeHandle = std::intptr_t;
    static constexpr NativeHandle Released = -1;

    explicit InstanceLock(NativeHandle handle, std::filesystem::path lockFile = {})
        : m_handle(handle), m_lockFile(std::move(lockFile))
    {}

    static ErrorOr<std::optional<InstanceLock>> acquireLockFile(const std::filesystem::path &folder,
                                                                const std::string &path);

    NativeHandle m_handle;
    // The lock file to remove on release, where the system removes none by itself.
    std::filesystem::path m_lockFile;
};
