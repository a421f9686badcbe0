#pragma once

#include <utility>

// Owns a handle of the Windows API and closes it when it goes. The handle is kept as the pointer
// that a HANDLE is, so that the headers that hold one need no <windows.h>; null stands for none.
class WindowsHandle final
{
public:
    WindowsHandle() = default;
    explicit WindowsHandle(void *handle) : m_handle(handle) {}
    ~WindowsHandle() { close(); }
    WindowsHandle(WindowsHandle &&other) noexcept : m_handle(std::exchange(other.m_handle, nullptr))
    {}
    WindowsHandle &operator=(WindowsHandle &&other) noexcept
    {
        std::swap(m_handle, other.m_handle);
        return *this;
    }

    void *get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void close();

private:
    void *m_handle = nullptr;
};
