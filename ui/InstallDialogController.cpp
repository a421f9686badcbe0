#include "InstallDialogController.h"

#include "FoundGameOffer.h"
#include "install/InstallRequest.h"
#include "NoticeWording.h"
#include "RuntimeErrorNotice.h"

void InstallDialogController::Command1_Click()
{
    // The box shows the amended directory from now on, whatever the request decides.
    m_view.setDirectoryText(InstallRequest::canonicalDirectory(m_view.directoryText()));
    const Edition edition =
        m_view.counterstrikeSelected() ? Edition::Counterstrike : Edition::Aftermath;
    const ErrorOr<void> result = InstallRequest(m_services).run(m_view.directoryText(), edition);
    if (!offeredAdministratorRights(result) && !offeredFoundGame(result))
        RuntimeErrorNotice::showIfFailed(m_services.messageBox, result);
}

// A player whose game was found elsewhere takes it with one key, rather than typing its path:
// the folder goes into the directory box and the request runs again, as if typed there.
bool InstallDialogController::offeredFoundGame(const ErrorOr<void> &result)
{
    const std::optional<std::string> folder =
        result.isError() ? FoundGameOffer::folderFor(result.error()) : std::nullopt;
    if (!folder)
        return false;
    if (m_services.messageBox.show(FoundGameOffer::prompt(result.error(), *folder),
                                   MessageBoxButtons::YesNo, MessageBoxIcon::Question,
                                   MessageBox::Title) == MessageBoxAnswer::Yes) {
        m_view.setDirectoryText(*folder);
        Command1_Click();
    }
    return true;
}

bool InstallDialogController::offeredAdministratorRights(const ErrorOr<void> &result)
{
    if (!m_restart || !result.isError() || !result.error().protectedFolder() ||
        !m_restart->canHelp())
        return false;
    const RuntimeError &error = result.error();
    const std::string prompt = NoticeWording::administratorOffer(
        error.protectedFolder()->folder, RuntimeErrorNotice::outcome(error));
    // Only the player's Yes ends this instance: a box closed without an answer is no consent.
    if (m_services.messageBox.show(prompt, MessageBoxButtons::YesNo, MessageBoxIcon::Question,
                                   MessageBox::Title) == MessageBoxAnswer::Yes)
        m_restart->request({m_view.directoryText(), m_view.counterstrikeSelected()
                                                        ? Edition::Counterstrike
                                                        : Edition::Aftermath});
    return true;
}
