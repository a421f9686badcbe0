#include "DpiScale.h"

namespace DpiScale {

int ofWindow(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
    // Looked up rather than linked, as Windows 7 and 8 do not have it.
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void *>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window)
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    return ofSystem();
}

int ofSystem()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : Standard;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : Standard;
}

} // namespace DpiScale
