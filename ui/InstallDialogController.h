#pragma once

#include "AdministratorRestart.h"
#include "InstallDialogView.h"
#include "runtime/RuntimeServices.h"

// The install dialog's routine: a click on Install. The dialog on the screen forwards the click
// here; it checks nothing and shows no message itself.
class InstallDialogController final
{
public:
    // Without a restart, a protected game folder is only reported.
    InstallDialogController(InstallDialogView &view, RuntimeServices &services,
                            AdministratorRestart *restart = nullptr)
        : m_view(view), m_services(services), m_restart(restart)
    {}

    void Command1_Click();

private:
    // Offers a player whose game folder is protected to start again as administrator.
    bool offeredAdministratorRights(const ErrorOr<void> &result);
    // Offers a player whose game was found elsewhere to use that folder instead.
    bool offeredFoundGame(const ErrorOr<void> &result);

    InstallDialogView &m_view;
    RuntimeServices &m_services;
    AdministratorRestart *m_restart;
};
