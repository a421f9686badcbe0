#include "DpiScale.h"

#include <algorithm>

namespace {

// Looked up rather than linked, as Windows 7 and 8 do not have it.
template <typename Function> Function user32Function(const char *name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The frame as the window has it now, measured rather than computed: Windows 10 draws it at the
// monitor's scale, older versions and Wine at the system's.
SIZE frameAround(HWND window)
{
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return {outer.right - outer.left - client.right, outer.bottom - outer.top - client.bottom};
}

POINT centredOnWorkArea(int width, int height)
{
    RECT workArea{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    // A window larger than the work area keeps its top left corner on it, where its title and
    // first buttons are, rather than lose both ends.
    return {std::max(workArea.left, workArea.left + (workArea.right - workArea.left - width) / 2),
            std::max(workArea.top, workArea.top + (workArea.bottom - workArea.top - height) / 2)};
}

} // namespace

namespace DpiScale {

int ofWindow(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
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

void placeWindow(HWND window, int clientWidth, int clientHeight, int dpi, const RECT *proposed)
{
    const SIZE client{scaled(clientWidth, dpi), scaled(clientHeight, dpi)};
    // A frame is drawn at a new scale only once its window has been resized, and a window not
    // yet sized has none to measure: it is measured again after a first resize.
    const SIZE former = frameAround(window);
    SetWindowPos(window, nullptr, 0, 0, client.cx + former.cx, client.cy + former.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE frame = frameAround(window);
    const int width = client.cx + frame.cx;
    const int height = client.cy + frame.cy;
    // Windows' proposal keeps the window on the monitor it was moved to; its size is taken from
    // the layout, so that every control fits to the pixel.
    const POINT origin =
        proposed ? POINT{proposed->left, proposed->top} : centredOnWorkArea(width, height);
    SetWindowPos(window, nullptr, origin.x, origin.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void keepDialogFromScalingItself(HWND dialog)
{
    static const auto setBehavior =
        user32Function<decltype(&SetDialogDpiChangeBehavior)>("SetDialogDpiChangeBehavior");
    if (setBehavior)
        setBehavior(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

} // namespace DpiScale
