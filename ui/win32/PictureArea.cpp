#include "PictureArea.h"

#include "PictureButtonAccessible.h"

#include <optional>

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
                         ScaledPicture picture, Events events)
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

void PictureArea::setPicture(ScaledPicture picture)
{
    if (picture.normal == m_picture.normal && picture.twice == m_picture.twice)
        return;
    m_picture = picture;
    InvalidateRect(m_window, nullptr, FALSE);
}

void PictureArea::moveTo(const PixelRect &place)
{
    MoveWindow(m_window, place.left, place.top, place.width, place.height, TRUE);
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

bool PictureArea::pointerMoved(HWND window, LPARAM position)
{
    static std::optional<POINT> last;
    POINT onScreen{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ClientToScreen(window, &onScreen);
    const bool moved = !last || last->x != onScreen.x || last->y != onScreen.y;
    last = onScreen;
    return moved;
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
        if (m_events.mouseMoved && pointerMoved(m_window, lParam))
            m_events.mouseMoved();
        return 0;
    case WM_LBUTTONDOWN:
        // A disabled window takes no click, even one that another program posts to a child.
        if (m_events.clicked && IsWindowEnabled(GetAncestor(m_window, GA_ROOT))) {
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
    case WM_GETOBJECT:
        if (m_events.clicked && static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT))
            if (const LRESULT answer = PictureButtonAccessible::answer(m_window, wParam))
                return answer;
        break;
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
    RECT area;
    GetClientRect(m_window, &area);
    BITMAP normal{};
    GetObjectW(m_picture.normal, sizeof(normal), &normal);
    const bool ownSize = area.right == normal.bmWidth && area.bottom == normal.bmHeight;
    const HBITMAP shown = ownSize || !m_picture.twice ? m_picture.normal : m_picture.twice;
    const HGDIOBJ former = SelectObject(source, shown);
    if (ownSize) {
        BitBlt(target, 0, 0, area.right, area.bottom, source, 0, 0, SRCCOPY);
    } else {
        BITMAP picture{};
        GetObjectW(shown, sizeof(picture), &picture);
        // HALFTONE averages the pixels that a smaller copy merges; the brush origin must be set
        // after choosing it.
        SetStretchBltMode(target, HALFTONE);
        SetBrushOrgEx(target, 0, 0, nullptr);
        StretchBlt(target, 0, 0, area.right, area.bottom, source, 0, 0, picture.bmWidth,
                   picture.bmHeight, SRCCOPY);
    }
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
