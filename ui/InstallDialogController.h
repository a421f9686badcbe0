#pragma once

#include "InstallDialogView.h"
#include "runtime/RuntimeServices.h"

// The install dialog's routine: a click on Install. The dialog on the screen forwards the click
// here; it checks nothing and shows no message itself.
class InstallDialogController final
{
public:
    InstallDialogController(InstallDialogView &view, RuntimeServices &services)
        : m_view(view), m_services(services)
    {}

    void Command1_Click();

private:
    InstallDialogView &m_view;
    RuntimeServices &m_services;
};
