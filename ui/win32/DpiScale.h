#pragma once

#include "ui/PixelRect.h"

#include "WindowsApi.h"

// The windows are laid out in pixels of a screen of 96 DPI, and drawn at their monitor's DPI.
namespace DpiScale {

inline constexpr int Standard = 96;

// The DPI of the monitor the window is on, where Windows tells it (10 version 1607 on), or else
// the system's, which Windows 7 and 8 use for every monitor.
int ofWindow(HWND window);
int ofSystem();

inline int scaled(int pixels, int dpi)
{
    return MulDiv(pixels, dpi, Standard);
}

inline PixelRect scaled(const PixelRect &rect, int dpi)
{
    return {scaled(rect.left, dpi), scaled(rect.top, dpi), scaled(rect.width, dpi),
            scaled(rect.height, dpi)};
}

// Sizes the window for a client area of the given size at 96 DPI, scaled to the DPI with its frame
// drawn at that DPI, and puts it where Windows proposes after a change of scale, or else centred
// on the screen's work area, the part that the taskbar leaves free.
void placeWindow(HWND window, int clientWidth, int clientHeight, int dpi, const RECT *proposed);

// Windows 10 version 1703 on scales a dialog by itself on a change of scale, from the template's
// units: this dialog's controls are laid out by the program, which scales them instead.
void keepDialogFromScalingItself(HWND dialog);

} // namespace DpiScale
