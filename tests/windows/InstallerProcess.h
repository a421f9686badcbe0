#pragma once

#include "ui/win32/WindowsApi.h"

#include <cstdint>
#include <string>
#include <vector>

// The Windows installer running in a process of its own, driven from outside as a player would
// drive it: its windows are found by class and title, the mouse and keys reach them as window
// messages, and what they show is read back from the screen.
class InstallerProcess final
{
public:
    // Starts the program in the given folder, its package folder, and waits for its main window.
    InstallerProcess(const std::wstring &program, const std::wstring &folder);
    ~InstallerProcess();
    InstallerProcess(const InstallerProcess &) = delete;
    InstallerProcess &operator=(const InstallerProcess &) = delete;

    HWND mainWindow() const { return m_mainWindow; }
    HWND buttonn(int index) const;
    // Waits for a visible top-level window of the program; null when none comes.
    HWND waitForWindow(const wchar_t *windowClass, const wchar_t *title) const;
    // Waits until the window is gone; false when it stays.
    static bool waitUntilGone(HWND window);
    // The process's exit code once it has ended, or STILL_ACTIVE when it does not end.
    DWORD waitForExit() const;

    // The mouse moves to a point of the main window's client area: the message goes to the
    // window that Windows finds under the point, as the mouse's own would.
    void moveMouseTo(POINT clientPoint) const;
    // Posted, since a click may open a modal window that the program then waits in.
    static void click(HWND pictureArea);
    static void pressKey(HWND window, WPARAM key);
    HWND focus() const;
    // Tells a window of the program of a move to a monitor of the DPI, proposing the place.
    void changeScale(HWND window, int dpi, const RECT &proposed) const;

    // Answers the message box with the title and returns its prompt; empty when none comes.
    // IDCANCEL closes it instead.
    std::string answerMessageBox(const wchar_t *title, int button) const;

    // The main window's pixels on the screen as 0xRRGGBB, row by row, once they show the
    // expected pixels or the wait is over.
    std::vector<std::uint32_t> mainWindowOnScreen(const std::vector<std::uint32_t> &expected) const;
    // What the main window should show with the given button highlighted (5: none), drawn from
    // the program's own pictures.
    std::vector<std::uint32_t> expectedMainWindow(int highlightIndex) const;

private:
    std::wstring m_program;
    PROCESS_INFORMATION m_process{};
    HWND m_mainWindow = nullptr;
};

// Polls until the condition holds, long enough for a loaded machine: what has not come by then
// will not. False when it does not hold.
template <typename Condition> bool waitFor(Condition condition)
{
    for (int i = 0; i < 600; ++i) {
        if (condition())
            return true;
        Sleep(50);
    }
    return condition();
}

std::string textOf(HWND window);
// A Unix path from the environment as Wine's drive Z names it.
std::wstring driveZPath(const char *unixPath);
