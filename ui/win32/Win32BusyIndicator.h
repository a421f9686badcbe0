#pragma once

#include "runtime/BusyIndicator.h"

#include "WindowsApi.h"

#include <vector>

// The busy sign of the Windows program: the wait cursor, and the former cursor back afterwards.
// The work runs on a thread of its own while the program's windows, disabled, keep painting.
class Win32BusyIndicator final : public BusyIndicator
{
public:
    void begin() override;
    void end() override;

    ErrorOr<void> runWhileBusy(const Work &work) override;

    // For the windows' WM_SETCURSOR: while busy, every window of the program shows the wait
    // cursor, and the message is answered.
    static bool setCursorWhileBusy();

private:
    HCURSOR m_former = nullptr;
    std::vector<HWND> m_disabled;
    HWND m_formerActive = nullptr;
    HWND m_formerFocus = nullptr;
};
