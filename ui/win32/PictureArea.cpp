#include "PictureArea.h"

#include <windowsx.h>

bool PictureArea::registerClass(HINSTANCE instance)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ClassName;
    return RegisterClassW(&windowClass) != 0;
}

PictureArea::PictureArea(HWND parent, int id, const wchar_t *name, const PixelRect &place,
                         HBITMAP picture, Events events)
    : m_picture(picture), m_events(std::move(events))
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    // The window procedure takes m_window from the creation message, before the first message
    // that needs it.
    CreateWindowExW(0, ClassName, name, WS_CHILD | WS_VISIBLE, place.left, place.top, place.width,
                    place.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                    instance, this);
}

PictureArea::~PictureArea()
{
    if (m_window)
        DestroyWindow(m_window);
}

void PictureArea::setPicture(HBITMAP picture)
{
    if (picture == m_picture)
        return;
    m_picture = picture;
    InvalidateRect(m_window, nullptr, FALSE);
}

LRESULT CALLBACK PictureArea::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *area =
            static_cast<PictureArea *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        area->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(area));
    }
    auto *area = reinterpret_cast<PictureArea *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!area)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The object may outlive its window when the parent goes first.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        area->m_window = nullptr;
    }
    return area->handleMessage(message, wParam, lParam);
}

LRESULT PictureArea::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        // The picture covers the whole window.
        return 1;
    case WM_MOUSEMOVE:
        if (m_events.mouseMoved)
            m_events.mouseMoved();
        return 0;
    case WM_LBUTTONDOWN:
        if (m_events.clicked) {
            // The release then comes here wherever the mouse is, and counts as a click only
            // over this area.
            m_pressed = true;
            SetCapture(m_window);
        }
        return 0;
    case WM_LBUTTONUP:
        release(lParam);
        return 0;
    case WM_CAPTURECHANGED:
        m_pressed = false;
        return 0;
    case WM_KEYDOWN:
        // A picture button has the focus while it is highlighted by the keyboard, so that
        // screen readers read its name; the window behind it answers the keys.
        return SendMessageW(GetParent(m_window), message, wParam, lParam);
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void PictureArea::paint()
{
    PAINTSTRUCT paint;
    const HDC target = BeginPaint(m_window, &paint);
    const HDC source = CreateCompatibleDC(target);
    const HGDIOBJ former = SelectObject(source, m_picture);
    RECT area;
    GetClientRect(m_window, &area);
    BitBlt(target, 0, 0, area.right, area.bottom, source, 0, 0, SRCCOPY);
    SelectObject(source, former);
    DeleteDC(source);
    EndPaint(m_window, &paint);
}

void PictureArea::release(LPARAM position)
{
    const bool pressed = m_pressed;
    m_pressed = false;
    if (GetCapture() == m_window)
        ReleaseCapture();
    RECT area;
    GetClientRect(m_window, &area);
    const POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    // Last, as a click may open a dialog or end the program.
    if (pressed && PtInRect(&area, point))
        m_events.clicked();
}
