#include "InstallerProcess.h"

#include "runtime/WindowsText.h"
#include "ui/MainWindowLayout.h"
#include "ui/win32/ArtworkResources.h"
#include "ui/win32/Form1.h"
#include "ui/win32/PictureResource.h"

#include <algorithm>

namespace {

// A 32-bit top-down bitmap of the main window's size, with a memory DC drawing into it.
class Canvas final
{
public:
    Canvas()
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = MainWindowLayout::ClientWidth;
        info.bmiHeader.biHeight = -MainWindowLayout::ClientHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_former = SelectObject(m_dc, m_bitmap);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_former);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    std::vector<std::uint32_t> pixels() const
    {
        GdiFlush();
        const auto *bits = static_cast<const std::uint32_t *>(m_bits);
        std::vector<std::uint32_t> result(bits, bits + MainWindowLayout::ClientWidth *
                                                           MainWindowLayout::ClientHeight);
        for (std::uint32_t &pixel : result)
            pixel &= 0xFFFFFF;
        return result;
    }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_former;
    void *m_bits = nullptr;
};

void drawPicture(HDC target, HMODULE module, int id, const PixelRect &place)
{
    const HBITMAP picture = PictureResource::load(module, id);
    const HDC source = CreateCompatibleDC(target);
    const HGDIOBJ former = SelectObject(source, picture);
    BitBlt(target, place.left, place.top, place.width, place.height, source, 0, 0, SRCCOPY);
    SelectObject(source, former);
    DeleteDC(source);
    DeleteObject(picture);
}

} // namespace

std::string textOf(HWND window)
{
    // GetWindowText does not ask a control of another process for its text.
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return WindowsText::fromWide(text);
}

std::wstring driveZPath(const char *unixPath)
{
    std::wstring path = L"Z:" + WindowsText::toWide(unixPath ? unixPath : "");
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

InstallerProcess::InstallerProcess(const std::wstring &program, const std::wstring &folder)
    : m_program(program)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &m_process))
        return;
    m_mainWindow = waitForWindow(Form1::ClassName, nullptr);
}

InstallerProcess::~InstallerProcess()
{
    if (!m_process.hProcess)
        return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(m_process.hProcess, 1);
    WaitForSingleObject(m_process.hProcess, INFINITE);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

HWND InstallerProcess::buttonn(int index) const
{
    return GetDlgItem(m_mainWindow, Form1::FirstButtonnId + index);
}

HWND InstallerProcess::waitForWindow(const wchar_t *windowClass, const wchar_t *title) const
{
    HWND found = nullptr;
    waitFor([&] {
        // FindWindowEx matches the title in any letter case.
        while ((found = FindWindowExW(nullptr, found, windowClass, title))) {
            DWORD processId = 0;
            GetWindowThreadProcessId(found, &processId);
            if (processId == m_process.dwProcessId && IsWindowVisible(found) &&
                (!title || WindowsText::toWide(textOf(found)) == title))
                return true;
        }
        return false;
    });
    return found;
}

bool InstallerProcess::waitUntilGone(HWND window)
{
    return waitFor([window] { return !IsWindow(window) || !IsWindowVisible(window); });
}

DWORD InstallerProcess::waitForExit() const
{
    DWORD code = STILL_ACTIVE;
    waitFor([&] {
        GetExitCodeProcess(m_process.hProcess, &code);
        return code != STILL_ACTIVE;
    });
    return code;
}

void InstallerProcess::moveMouseTo(POINT clientPoint) const
{
    POINT point = clientPoint;
    ClientToScreen(m_mainWindow, &point);
    const HWND target = WindowFromPoint(point);
    ScreenToClient(target, &point);
    SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
}

void InstallerProcess::click(HWND pictureArea)
{
    PostMessageW(pictureArea, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(pictureArea, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
}

void InstallerProcess::pressKey(HWND window, WPARAM key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

HWND InstallerProcess::focus() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(m_process.dwThreadId, &info);
    return info.hwndFocus;
}

void InstallerProcess::changeScale(HWND window, int dpi, const RECT &proposed) const
{
    // The message carries the place's address, which must be one in the program's own memory.
    void *place = VirtualAllocEx(m_process.hProcess, nullptr, sizeof(proposed),
                                 MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    WriteProcessMemory(m_process.hProcess, place, &proposed, sizeof(proposed), nullptr);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(place));
    VirtualFreeEx(m_process.hProcess, place, 0, MEM_RELEASE);
}

std::string InstallerProcess::answerMessageBox(const wchar_t *title, int button) const
{
    const HWND box = waitForWindow(L"#32770", title);
    if (!box)
        return {};
    // The first text shown; the icon is a text control too, with no text.
    std::string prompt;
    for (HWND child = nullptr;
         prompt.empty() && (child = FindWindowExW(box, child, L"Static", nullptr));)
        prompt = textOf(child);
    // Cancel stands for the box closed as Alt+F4 and the close box close it.
    if (button == IDCANCEL)
        PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    else
        PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
    waitUntilGone(box);
    return prompt;
}

std::vector<std::uint32_t>
InstallerProcess::mainWindowOnScreen(const std::vector<std::uint32_t> &expected) const
{
    POINT origin{0, 0};
    ClientToScreen(m_mainWindow, &origin);
    Canvas canvas;
    const HDC screen = GetDC(nullptr);
    waitFor([&] {
        BitBlt(canvas.dc(), 0, 0, MainWindowLayout::ClientWidth, MainWindowLayout::ClientHeight,
               screen, origin.x, origin.y, SRCCOPY);
        return canvas.pixels() == expected;
    });
    ReleaseDC(nullptr, screen);
    return canvas.pixels();
}

std::vector<std::uint32_t> InstallerProcess::expectedMainWindow(int highlightIndex) const
{
    const HMODULE program = LoadLibraryExW(
        m_program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    Canvas canvas;
    const RECT all{0, 0, MainWindowLayout::ClientWidth, MainWindowLayout::ClientHeight};
    FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    drawPicture(canvas.dc(), program, BEXOM_BANNER_BITMAP, MainWindowLayout::Picture1);
    for (std::int16_t i = 0; i < MainWindowLayout::ButtonCount; ++i)
        drawPicture(canvas.dc(), program,
                    (i == highlightIndex ? BEXOM_FIRST_ONN_BITMAP : BEXOM_FIRST_OFF_BITMAP) + i,
                    MainWindowLayout::buttonn(i));
    FreeLibrary(program);
    return canvas.pixels();
}
