#include "RemovalRequest.h"

#include "StatusFile.h"

namespace {

const std::string Title = "BEXOM";
const std::string ConfirmPrompt = "Are you sure you wish to uninstall BEXOM?";
const std::string NotInstalled = "BEXOM is not installed";

} // namespace

ErrorOr<void> RemovalRequest::run(RemovalForm &form)
{
    const int answer =
        m_messageBox.show(ConfirmPrompt, MessageBoxStyle::YesNo | MessageBoxStyle::Question, Title);
    if (answer == MessageBoxAnswer::No)
        return {};
    const StatusRecord status = TRY(StatusFile(m_fileSystem).read());
    form.setStoredGameDirectory(status.gameDirectory());
    if (status.statusItem == StatusFile::Uninstalled) {
        m_messageBox.show(NotInstalled, MessageBoxStyle::Question, Title);
        return {};
    }
    if (status.statusItem == StatusFile::Aftermath)
        return form.Unins_Aftermath();
    return form.Unins_Counterstrike();
}
