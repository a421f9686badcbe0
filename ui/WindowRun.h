#pragma once

#include "InstallerStart.h"
#include "LoggingBusyIndicator.h"
#include "LoggingMessageBox.h"
#include "RunPlatform.h"
#include "runtime/RuntimeServices.h"

#include <memory>
#include <optional>

// The run of the windowed program, up to its main window, alike in both programs: the log of the
// run opened, the window's message boxes and busy sign writing into it, and the installer started
// (see InstallerStart). For as long as it lives it holds the package folder's lock and the log.
class WindowRun final
{
public:
    // Nothing when the program must end, once the player has been told why.
    static std::unique_ptr<WindowRun> begin(const RunPlatform &platform,
                                            MessageBox &windowMessageBox,
                                            BusyIndicator &windowBusyIndicator);

    RuntimeServices &services() { return *m_services; }

private:
    WindowRun(const RunPlatform &platform, MessageBox &windowMessageBox,
              BusyIndicator &windowBusyIndicator);

    RunLog m_log;
    LoggingMessageBox m_messageBox;
    LoggingBusyIndicator m_busyIndicator;
    std::optional<InstallerStart> m_start;
    std::optional<RuntimeServices> m_services;
};
