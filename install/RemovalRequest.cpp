#include "RemovalRequest.h"

#include "ModInstaller.h"
#include "runtime/Text.h"
#include "StaleStatusOffer.h"
#include "StatusFile.h"

namespace {

const std::string ConfirmPrompt = "Are you sure you wish to uninstall BEXOM?";
const std::string NotInstalled = "BEXOM is not installed";

const std::string Working = "Uninstalling BEXOM...";

// The player must learn that the work was done, and where to find what the removal kept.
std::string doneNotice(const std::string &directory, const std::vector<KeptEdit> &kept)
{
    const std::string done = "BEXOM has been uninstalled from " + directory + ".";
    if (kept.empty())
        return done;
    std::vector<std::string> lines{done + " These files of BEXOM had been changed since it was "
                                          "installed, so they were not deleted but kept:"};
    for (const KeptEdit &edit : kept)
        lines.push_back(edit.name + " as \"" + edit.path + "\"");
    return Text::join(lines, "\n");
}

} // namespace

ErrorOr<void> RemovalRequest::run()
{
    MessageBox &messageBox = m_services.messageBox;
    const MessageBoxAnswer answer = messageBox.show(ConfirmPrompt, MessageBoxButtons::YesNo,
                                                    MessageBoxIcon::Question, MessageBox::Title);
    // A box closed without an answer deletes nothing.
    if (answer != MessageBoxAnswer::Yes)
        return {};
    const StatusRecord status = TRY(StatusFile(m_services.fileSystem).read());
    m_storedGameDirectory = status.gameDirectory();
    if (status.statusItem == StatusFile::Uninstalled) {
        messageBox.show(NotInstalled, MessageBoxButtons::Ok, MessageBoxIcon::Question,
                        MessageBox::Title);
        return {};
    }
    if (TRY(StaleStatusOffer(m_services).offer(status)))
        return {};
    if (status.statusItem == StatusFile::Aftermath)
        return Unins_Aftermath();
    return Unins_Counterstrike();
}

ErrorOr<void> RemovalRequest::Unins_Aftermath()
{
    return uninstall(Edition::Aftermath);
}

ErrorOr<void> RemovalRequest::Unins_Counterstrike()
{
    return uninstall(Edition::Counterstrike);
}

ErrorOr<void> RemovalRequest::uninstall(Edition edition)
{
    ModInstaller installer(m_services.fileSystem);
    TRY(m_services.busyIndicator.runWhileBusy(
        Working, [&] { return installer.uninstall(edition, m_storedGameDirectory); }));
    m_services.messageBox.show(doneNotice(m_storedGameDirectory, installer.keptEdits()),
                               MessageBoxButtons::Ok, MessageBoxIcon::Information,
                               MessageBox::Title);
    return {};
}
