#include "Form1.h"

#include "ArtworkResources.h"
#include "DpiScale.h"
#include "Form2.h"
#include "PictureResource.h"
#include "runtime/WindowsText.h"
#include "ui/NoticeWording.h"
#include "Win32BusyIndicator.h"
#include "WindowsError.h"

#include <windowsx.h>

#include <utility>

namespace {

// Posted to itself: the dialog opens once the event loop runs.
constexpr UINT ReopenInstallDialog = WM_APP + 1;

void deletePicture(const ScaledPicture &picture)
{
    DeleteObject(picture.normal);
    DeleteObject(picture.twice);
}

} // namespace

ErrorOr<std::unique_ptr<Form1>> Form1::create(HINSTANCE instance, RuntimeServices &services,
                                              AdministratorRestart &restart)
{
    std::unique_ptr<Form1> form(new Form1(instance, services, restart));
    TRY(form->loadArtwork());
    TRY(form->createWindow());
    TRY(form->createPictureAreas());
    return form;
}

Form1::Form1(HINSTANCE instance, RuntimeServices &services, AdministratorRestart &restart)
    : m_instance(instance), m_services(services), m_restart(restart), m_controller(*this, services)
{}

Form1::~Form1()
{
    m_installDialog.reset();
    Picture1.reset();
    for (auto &button : Buttonn)
        button.reset();
    if (m_window)
        DestroyWindow(m_window);
    for (const ScaledPicture &picture : Off)
        deletePicture(picture);
    for (const ScaledPicture &picture : onn)
        deletePicture(picture);
    deletePicture(m_banner);
}

ErrorOr<void> Form1::loadArtwork()
{
    m_banner.normal = PictureResource::load(m_instance, BEXOM_BANNER_BITMAP);
    for (int i = 0; i < MainWindowLayout::ButtonCount; ++i) {
        Off[i].normal = PictureResource::load(m_instance, BEXOM_FIRST_OFF_BITMAP + i);
        onn[i].normal = PictureResource::load(m_instance, BEXOM_FIRST_ONN_BITMAP + i);
        if (!Off[i].normal || !onn[i].normal)
            return lastWindowsError(NoticeWording::PicturesNotLoaded);
    }
    if (!m_banner.normal)
        return lastWindowsError(NoticeWording::PicturesNotLoaded);
    return {};
}

// Loaded only for a screen above 100 percent: four times the bytes of the small ones, they would
// slow every start at 100 percent. Without them the small pictures are enlarged.
void Form1::loadLargePictures()
{
    if (m_banner.twice)
        return;
    m_banner.twice = PictureResource::load(m_instance, BEXOM_BANNER_2X_BITMAP);
    for (int i = 0; i < MainWindowLayout::ButtonCount; ++i) {
        Off[i].twice = PictureResource::load(m_instance, BEXOM_FIRST_OFF_2X_BITMAP + i);
        onn[i].twice = PictureResource::load(m_instance, BEXOM_FIRST_ONN_2X_BITMAP + i);
    }
    Picture1->setPicture(m_banner);
    const std::int16_t highlighted = m_controller.highlightIndex();
    for (std::int16_t i = 0; i < MainWindowLayout::ButtonCount; ++i)
        showButtonPicture(i, i == highlighted ? ButtonPicture::Highlighted : ButtonPicture::Normal);
}

ErrorOr<void> Form1::createWindow()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = m_instance;
    windowClass.hIcon = LoadIconW(m_instance, L"IDI_ICON1");
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassW(&windowClass) || !PictureArea::registerClass(m_instance))
        return lastWindowsError(NoticeWording::MainWindowNotOpened);

    // The title is not drawn, as the window has no title bar, but the task bar and Alt+Tab list
    // the window by it. It is sized and placed once its pictures are there, at the DPI of its
    // monitor.
    CreateWindowExW(0, ClassName, L"BEXOM v2", WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                    MainWindowLayout::ClientWidth, MainWindowLayout::ClientHeight, nullptr, nullptr,
                    m_instance, this);
    if (!m_window)
        return lastWindowsError(NoticeWording::MainWindowNotOpened);
    return {};
}

ErrorOr<void> Form1::createPictureAreas()
{
    Picture1 =
        std::make_unique<PictureArea>(m_window, Picture1Id, L"BEXOM v2.0",
                                      MainWindowLayout::Picture1, m_banner, PictureArea::Events{});
    if (!Picture1->handle())
        return lastWindowsError(NoticeWording::MainWindowNotOpened);
    for (std::int16_t i = 0; i < MainWindowLayout::ButtonCount; ++i) {
        const std::wstring label = WindowsText::toWide(MainWindowLayout::ButtonLabels[i]);
        PictureArea::Events events{[this, i] { m_controller.Buttonn_MouseMove(i); },
                                   [this, i] {
                                       m_controller.Buttonn_Click(i);
                                   }};
        Buttonn[i] =
            std::make_unique<PictureArea>(m_window, FirstButtonnId + i, label.c_str(),
                                          MainWindowLayout::buttonn(i), Off[i], std::move(events));
        if (!Buttonn[i]->handle())
            return lastWindowsError(NoticeWording::MainWindowNotOpened);
    }
    StatusLine = CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, m_window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(Win32BusyIndicator::StatusLineId)), m_instance,
        nullptr);
    layOut(DpiScale::ofWindow(m_window));
    return {};
}

void Form1::layOut(int dpi, const RECT *place)
{
    using DpiScale::scaled;
    DpiScale::placeWindow(m_window, MainWindowLayout::ClientWidth, MainWindowLayout::ClientHeight,
                          dpi, place);
    if (dpi > DpiScale::Standard)
        loadLargePictures();
    Picture1->moveTo(scaled(MainWindowLayout::Picture1, dpi));
    for (std::int16_t i = 0; i < MainWindowLayout::ButtonCount; ++i)
        Buttonn[i]->moveTo(scaled(MainWindowLayout::buttonn(i), dpi));
    if (!StatusLine)
        return;
    const PixelRect status = scaled(MainWindowLayout::StatusLine, dpi);
    MoveWindow(StatusLine, status.left, status.top, status.width, status.height, FALSE);
    // The message font's face, in 9 points at the window's scale.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return;
    metrics.lfMessageFont.lfHeight = -MulDiv(9, dpi, 72);
    m_statusFont.reset(CreateFontIndirectW(&metrics.lfMessageFont));
    SendMessageW(StatusLine, WM_SETFONT, reinterpret_cast<WPARAM>(m_statusFont.get()), FALSE);
}

void Form1::show(int showCommand)
{
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
}

LRESULT CALLBACK Form1::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *form =
            static_cast<Form1 *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        form->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto *form = reinterpret_cast<Form1 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->m_window = nullptr;
    }
    return form->handleMessage(message, wParam, lParam);
}

LRESULT Form1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        // Only moves over the background come here: each picture area takes its own.
        if (PictureArea::pointerMoved(m_window, lParam))
            m_controller.Form_MouseMove();
        return 0;
    case WM_KEYDOWN:
        onKey(wParam);
        return 0;
    case ReopenInstallDialog:
        if (!m_installDialog)
            m_installDialog = std::make_unique<Form2>(m_instance, m_services, m_restart);
        m_installDialog->showModal(m_window, std::exchange(m_reopenedChoice, std::nullopt));
        return 0;
    case WM_CTLCOLORSTATIC:
        // The status line, white on the window's black.
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    case WM_DPICHANGED:
        // Moved to a monitor of another scale, or the scale changed: Windows proposes the place.
        layOut(HIWORD(wParam), reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_SETCURSOR:
        // The picture areas ask their parent first.
        if (Win32BusyIndicator::setCursorWhileBusy())
            return TRUE;
        break;
    case WM_DESTROY:
        // A platform command such as Alt+F4 may close the window: the program ends with it.
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void Form1::onKey(WPARAM key)
{
    // Keys posted to a picture button while the window is disabled are dropped.
    if (!IsWindowEnabled(m_window))
        return;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (key) {
    case VK_TAB:
        m_controller.Form_KeyDown(shift ? MainWindowKey::Previous : MainWindowKey::Next);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        m_controller.Form_KeyDown(MainWindowKey::Next);
        break;
    case VK_LEFT:
    case VK_UP:
        m_controller.Form_KeyDown(MainWindowKey::Previous);
        break;
    case VK_RETURN:
    case VK_SPACE:
        m_controller.Form_KeyDown(MainWindowKey::Press);
        return;
    default:
        return;
    }
    // The focus follows the highlight that the keyboard moved; the mouse leaves the focus be.
    const std::int16_t highlighted = m_controller.highlightIndex();
    if (highlighted != MainWindowController::NoHighlight)
        SetFocus(Buttonn[highlighted]->handle());
}

void Form1::showButtonPicture(std::int16_t index, ButtonPicture picture)
{
    Buttonn[index]->setPicture(picture == ButtonPicture::Highlighted ? onn[index] : Off[index]);
}

void Form1::reopenInstallDialog(const DialogChoice &choice)
{
    m_reopenedChoice = choice;
    PostMessageW(m_window, ReopenInstallDialog, 0, 0);
}

void Form1::showInstallDialog()
{
    if (!m_installDialog)
        m_installDialog = std::make_unique<Form2>(m_instance, m_services, m_restart);
    m_installDialog->showModal(m_window);
}

void Form1::endProgram()
{
    // The window goes at once; it is destroyed once the event loop has ended, as the click that
    // got here is still being handled by one of its children.
    ShowWindow(m_window, SW_HIDE);
    PostQuitMessage(0);
}
