#include "InstallDialogController.h"

#include "install/InstallRequest.h"
#include "RuntimeErrorNotice.h"

void InstallDialogController::Command1_Click()
{
    // The box shows the amended directory from now on, whatever the request decides.
    m_view.setDirectoryText(InstallRequest::canonicalDirectory(m_view.directoryText()));
    const Edition edition =
        m_view.counterstrikeSelected() ? Edition::Counterstrike : Edition::Aftermath;
    RuntimeErrorNotice::showIfFailed(
        m_services.messageBox, InstallRequest(m_services).run(m_view.directoryText(), edition));
}
