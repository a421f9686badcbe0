#pragma once

#include "ui/PixelRect.h"

#include "WindowsApi.h"

#include <functional>

// A picture drawn at 100 and at 200 percent.
struct ScaledPicture
{
    HBITMAP normal = nullptr;
    HBITMAP twice = nullptr;
};

// A child window that shows a bitmap, reports the mouse moving over it and clicks on it. The
// bitmap is shown at its own size when that is the window's, and otherwise the larger one scaled
// down, so that it stays sharp. Being a window of its own, it takes every mouse message over it,
// so none of them reaches the window behind it. It does not own the bitmaps it shows.
class PictureArea final
{
public:
    struct Events
    {
        std::function<void()> mouseMoved;
        std::function<void()> clicked;
    };

    static constexpr const wchar_t *ClassName = L"BexomPictureArea";

    static bool registerClass(HINSTANCE instance);

    // The window is the parent's child with the given number; its name serves accessibility
    // tools. Nothing is made when Windows refuses the window: handle() is then null.
    PictureArea(HWND parent, int id, const wchar_t *name, const PixelRect &place,
                ScaledPicture picture, Events events);
    ~PictureArea();
    PictureArea(const PictureArea &) = delete;
    PictureArea &operator=(const PictureArea &) = delete;

    // Whether a WM_MOUSEMOVE to the window puts the pointer elsewhere on the screen than the last
    // one did. Windows sends a move where the pointer rests when a window above closes; taken for
    // a move, it would highlight the button under a resting pointer instead of the one the
    // keyboard chose.
    static bool pointerMoved(HWND window, LPARAM position);

    HWND handle() const { return m_window; }
    void setPicture(ScaledPicture picture);
    void moveTo(const PixelRect &place);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void release(LPARAM position);

    HWND m_window = nullptr;
    ScaledPicture m_picture;
    Events m_events;
    bool m_pressed = false;
};
