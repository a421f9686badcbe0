#include "Win32BusyIndicator.h"

#include "runtime/WindowsText.h"

#include <atomic>
#include <optional>
#include <system_error>
#include <thread>

namespace {

std::atomic<int> busySpells = 0;

BOOL CALLBACK collectEnabled(HWND window, LPARAM windows)
{
    if (IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND> *>(windows)->push_back(window);
    return TRUE;
}

// The player's clicks and keys: a control that kept the focus through the disabling would still
// take them, and start a second request inside the one that runs.
bool isInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

} // namespace

void Win32BusyIndicator::begin()
{
    ++busySpells;
    m_former = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void Win32BusyIndicator::end()
{
    --busySpells;
    SetCursor(m_former);
}

bool Win32BusyIndicator::setCursorWhileBusy()
{
    if (busySpells == 0)
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

ErrorOr<void> Win32BusyIndicator::runWhileBusy(const std::string &status, const Work &work)
{
    const BusyScope busy(*this);
    const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!done)
        return RuntimeError::fromErrorCode(
            {static_cast<int>(GetLastError()), std::system_category()}, {});
    std::optional<ErrorOr<void>> outcome;
    std::optional<std::thread> worker;
    try {
        worker.emplace([&] {
            outcome.emplace(outcomeOf(work));
            SetEvent(done);
        });
    } catch (...) {
        CloseHandle(done);
        return RuntimeError::fromCurrentException();
    }
    showBusy(status);
    bool quitting = false;
    // Until the work is done, or waiting fails, when joining the thread waits instead.
    while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            // An end asked for meanwhile waits until the work is done.
            if (message.message == WM_QUIT) {
                quitting = true;
                continue;
            }
            if (isInput(message.message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    worker->join();
    CloseHandle(done);
    showIdle();
    if (quitting)
        PostQuitMessage(0);
    return std::move(*outcome);
}

void Win32BusyIndicator::showBusy(const std::string &status)
{
    // A disabled window takes no click or key but paints; the focus, which disabling takes
    // away, comes back afterwards, so that a message box that follows has its owner as today.
    m_formerActive = GetActiveWindow();
    m_formerFocus = GetFocus();
    m_disabled.clear();
    EnumThreadWindows(GetCurrentThreadId(), collectEnabled, reinterpret_cast<LPARAM>(&m_disabled));
    // The front window's controls too, so that they show greyed.
    if (m_formerActive)
        EnumChildWindows(m_formerActive, collectEnabled, reinterpret_cast<LPARAM>(&m_disabled));
    for (HWND window : m_disabled)
        EnableWindow(window, FALSE);
    m_statusLine = m_formerActive ? GetDlgItem(m_formerActive, StatusLineId) : nullptr;
    if (!m_statusLine)
        return;
    SetWindowTextW(m_statusLine, WindowsText::toWide(status).c_str());
    ShowWindow(m_statusLine, SW_SHOW);
    // Screen readers read a name that changes, and an alert, as they come.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_statusLine, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_SYSTEM_ALERT, m_statusLine, OBJID_CLIENT, CHILDID_SELF);
}

void Win32BusyIndicator::showIdle()
{
    if (m_statusLine)
        ShowWindow(m_statusLine, SW_HIDE);
    for (HWND window : m_disabled)
        EnableWindow(window, TRUE);
    // In front as well as active: under Wine a window only made active leaves the keyboard with
    // the window manager.
    if (m_formerActive) {
        SetForegroundWindow(m_formerActive);
        SetActiveWindow(m_formerActive);
    }
    if (m_formerFocus)
        SetFocus(m_formerFocus);
}
