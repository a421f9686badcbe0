#include "RemovalRequest.h"

#include "ModInstaller.h"
#include "StatusFile.h"

namespace {

const std::string Title = "BEXOM";
const std::string ConfirmPrompt = "Are you sure you wish to uninstall BEXOM?";
const std::string NotInstalled = "BEXOM is not installed";

} // namespace

ErrorOr<void> RemovalRequest::run()
{
    MessageBox &messageBox = m_services.messageBox;
    const int answer =
        messageBox.show(ConfirmPrompt, MessageBoxStyle::YesNo | MessageBoxStyle::Question, Title);
    // A box closed without an answer deletes nothing.
    if (answer != MessageBoxAnswer::Yes)
        return {};
    const StatusRecord status = TRY(StatusFile(m_services.fileSystem).read());
    m_storedGameDirectory = status.gameDirectory();
    if (status.statusItem == StatusFile::Uninstalled) {
        messageBox.show(NotInstalled, MessageBoxStyle::Question, Title);
        return {};
    }
    if (status.statusItem == StatusFile::Aftermath)
        return Unins_Aftermath();
    return Unins_Counterstrike();
}

ErrorOr<void> RemovalRequest::Unins_Aftermath()
{
    return m_services.busyIndicator.runWhileBusy([this] {
        return ModInstaller(m_services.fileSystem)
            .uninstall(Edition::Aftermath, m_storedGameDirectory);
    });
}

ErrorOr<void> RemovalRequest::Unins_Counterstrike()
{
    return m_services.busyIndicator.runWhileBusy([this] {
        return ModInstaller(m_services.fileSystem)
            .uninstall(Edition::Counterstrike, m_storedGameDirectory);
    });
}
