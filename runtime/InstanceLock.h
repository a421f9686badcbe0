#pragma once

#include "ErrorOr.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

// An exclusive lock on a folder, held until the object goes: while one installer holds it, no
// other process gets it. The system drops it with the process, so a crash never leaves it behind.
class InstanceLock final
{
public:
    // Nothing when another process holds the lock; an error names the path as the player gave it.
    static ErrorOr<std::optional<InstanceLock>> acquire(const std::filesystem::path &folder,
                                                        const std::string &path);

    InstanceLock(InstanceLock &&other) noexcept : m_handle(std::exchange(other.m_handle, Released))
    {}
    InstanceLock &operator=(InstanceLock &&other) noexcept
    {
        std::swap(m_handle, other.m_handle);
        return *this;
    }
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;
    ~InstanceLock();

private:
    // A descriptor on POSIX, a handle on Windows.
    using NativeHandle = std::intptr_t;
    static constexpr NativeHandle Released = -1;

    explicit InstanceLock(NativeHandle handle) : m_handle(handle) {}

    NativeHandle m_handle;
};
