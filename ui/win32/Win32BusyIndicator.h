#pragma once

#include "runtime/BusyIndicator.h"

#include "WindowsApi.h"

// The busy sign of the Windows program: the wait cursor, and the former cursor back afterwards.
// The program handles no message while it works, so nothing sets the cursor back meanwhile.
class Win32BusyIndicator final : public BusyIndicator
{
public:
    void begin() override { m_former = SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }
    void end() override { SetCursor(m_former); }

private:
    HCURSOR m_former = nullptr;
};
