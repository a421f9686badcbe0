#include "Form1.h"

#include "ArtworkResources.h"
#include "Form2.h"
#include "runtime/WindowsText.h"
#include "WindowsError.h"

#include <windowsx.h>

namespace {

HBITMAP loadBitmap(HINSTANCE instance, int id)
{
    return static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// Where a window of the given size stands centred on the screen's work area, the part that the
// taskbar leaves free.
POINT centredOnWorkArea(int width, int height)
{
    RECT workArea{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    return {workArea.left + (workArea.right - workArea.left - width) / 2,
            workArea.top + (workArea.bottom - workArea.top - height) / 2};
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
    for (HBITMAP picture : Off)
        DeleteObject(picture);
    for (HBITMAP picture : onn)
        DeleteObject(picture);
    DeleteObject(m_banner);
}

ErrorOr<void> Form1::loadArtwork()
{
    m_banner = loadBitmap(m_instance, BEXOM_BANNER_BITMAP);
    for (int i = 0; i < MainWindowLayout::ButtonCount; ++i) {
        Off[i] = loadBitmap(m_instance, BEXOM_FIRST_OFF_BITMAP + i);
        onn[i] = loadBitmap(m_instance, BEXOM_FIRST_ONN_BITMAP + i);
        if (!Off[i] || !onn[i])
            return lastWindowsError("The program's pictures could not be loaded.");
    }
    if (!m_banner)
        return lastWindowsError("The program's pictures could not be loaded.");
    return {};
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
        return lastWindowsError("The main window could not be opened.");

    using MainWindowLayout::ClientHeight;
    using MainWindowLayout::ClientWidth;
    // Without a border the client area is the whole window.
    const POINT place = centredOnWorkArea(ClientWidth, ClientHeight);
    CreateWindowExW(0, ClassName, L"BEXOM v2", WS_POPUP | WS_CLIPCHILDREN, place.x, place.y,
                    ClientWidth, ClientHeight, nullptr, nullptr, m_instance, this);
    if (!m_window)
        return lastWindowsError("The main window could not be opened.");
    return {};
}

ErrorOr<void> Form1::createPictureAreas()
{
    Picture1 =
        std::make_unique<PictureArea>(m_window, Picture1Id, L"BEXOM v2.0",
                                      MainWindowLayout::Picture1, m_banner, PictureArea::Events{});
    if (!Picture1->handle())
        return lastWindowsError("The main window could not be opened.");
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
            return lastWindowsError("The main window could not be opened.");
    }
    return {};
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
        m_controller.Form_MouseMove();
        return 0;
    case WM_DESTROY:
        // A platform command such as Alt+F4 may close the window: the program ends with it.
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void Form1::showButtonPicture(std::int16_t index, ButtonPicture picture)
{
    Buttonn[index]->setPicture(picture == ButtonPicture::Highlighted ? onn[index] : Off[index]);
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
