#pragma once

#include "runtime/BusyIndicator.h"

#include "WindowsApi.h"

#include <string>
#include <vector>

// The busy sign of the Windows program: the wait cursor, and the former cursor back afterwards,
// and the status line. The work runs on a thread of its own while the program's windows,
// disabled, keep painting, and the player's clicks and keys are dropped.
class Win32BusyIndicator final : public BusyIndicator
{
public:
    void begin() override;
    void end() override;

    ErrorOr<void> runWhileBusy(const std::string &status, const Work &work) override;

    // For the windows' WM_SETCURSOR: while busy, every window of the program shows the wait
    // cursor, and the message is answered.
    static bool setCursorWhileBusy();

    // The control of the window at the front that shows the status line while the work runs.
    static constexpr int StatusLineId = 199;

private:
    // Greys the front window's controls, and shows and announces its status line.
    void showBusy(const std::string &status);
    void showIdle();

    HCURSOR m_former = nullptr;
    std::vector<HWND> m_disabled;
    HWND m_formerActive = nullptr;
    HWND m_formerFocus = nullptr;
    HWND m_statusLine = nullptr;
};
