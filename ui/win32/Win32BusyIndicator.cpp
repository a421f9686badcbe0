#include "Win32BusyIndicator.h"

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

ErrorOr<void> Win32BusyIndicator::runWhileBusy(const Work &work)
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
    // A disabled window takes no click or key but paints; the focus, which disabling takes
    // away, comes back afterwards, so that a message box that follows has its owner as today.
    m_formerActive = GetActiveWindow();
    m_formerFocus = GetFocus();
    m_disabled.clear();
    EnumThreadWindows(GetCurrentThreadId(), collectEnabled, reinterpret_cast<LPARAM>(&m_disabled));
    for (HWND window : m_disabled)
        EnableWindow(window, FALSE);

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
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    worker->join();
    CloseHandle(done);

    for (HWND window : m_disabled)
        EnableWindow(window, TRUE);
    if (m_formerActive)
        SetActiveWindow(m_formerActive);
    if (m_formerFocus)
        SetFocus(m_formerFocus);
    if (quitting)
        PostQuitMessage(0);
    return std::move(*outcome);
}
