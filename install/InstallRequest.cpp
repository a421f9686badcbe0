#include "InstallRequest.h"

#include "StatusFile.h"

namespace {

const std::string Title = "BEXOM";
const std::string ConfirmTitle = "Install BEXOM?";
const std::string AlreadyInstalled = "BEXOM is already Installed";
const std::string ConfirmPrompt = "Are you sure you wish to install BEXOM to the directory: ";

} // namespace

ErrorOr<void> InstallRequest::run(InstallForm &form)
{
    if (!form.directoryText().ends_with('\\'))
        form.setDirectoryText(form.directoryText() + '\\');
    const StatusRecord status = TRY(StatusFile(m_fileSystem).read());
    if (status.statusItem != StatusFile::Uninstalled) {
        m_messageBox.show(AlreadyInstalled, MessageBoxStyle::Question, Title);
        return {};
    }
    const int answer =
        m_messageBox.show(ConfirmPrompt + form.directoryText(),
                          MessageBoxStyle::YesNo | MessageBoxStyle::Question, ConfirmTitle);
    if (answer == MessageBoxAnswer::No)
        return {};
    if (form.counterstrikeSelected())
        return form.Ins_Counter();
    return form.Ins_Aftermath();
}
