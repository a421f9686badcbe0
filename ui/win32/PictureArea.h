#pragma once

#include "ui/PixelRect.h"

#include "WindowsApi.h"

#include <functional>

// A child window that shows a bitmap at its own size, reports the mouse moving over it and
// clicks on it. Being a window of its own, it takes every mouse message over it, so none of them
// reaches the window behind it. It does not own the bitmap it shows.
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
    PictureArea(HWND parent, int id, const wchar_t *name, const PixelRect &place, HBITMAP picture,
                Events events);
    ~PictureArea();
    PictureArea(const PictureArea &) = delete;
    PictureArea &operator=(const PictureArea &) = delete;

    HWND handle() const { return m_window; }
    void setPicture(HBITMAP picture);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void release(LPARAM position);

    HWND m_window = nullptr;
    HBITMAP m_picture;
    Events m_events;
    bool m_pressed = false;
};
