#include "WindowsHandle.h"

#include <windows.h>

void WindowsHandle::close()
{
    if (m_handle)
        ::CloseHandle(m_handle);
    m_handle = nullptr;
}
