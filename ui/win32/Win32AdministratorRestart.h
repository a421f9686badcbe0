#pragma once

#include "runtime/MessageBox.h"
#include "ui/AdministratorRestart.h"

// Ends the event loop when asked; once the program has let go of its windows and of the package
// folder, asks Windows to start it again as administrator ("runas"), which shows the system's own
// prompt for consent.
class Win32AdministratorRestart final : public AdministratorRestart
{
public:
    bool canHelp() const override;
    void request(const DialogChoice &choice) override;
    bool isRequested() const { return m_requested; }
    // From the current folder, which is the package folder. A player who declines Windows'
    // prompt is not asked again; any other failure is reported.
    void start(MessageBox &messageBox);

private:
    bool m_requested = false;
    DialogChoice m_choice;
};
