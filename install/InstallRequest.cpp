#include "InstallRequest.h"

#include "ModInstaller.h"
#include "StatusFile.h"

#include <string_view>

namespace {

const std::string Title = "BEXOM";
const std::string ConfirmTitle = "Install BEXOM?";
const std::string AlreadyInstalled = "BEXOM is already Installed";
const std::string ConfirmPrompt = "Are you sure you wish to install BEXOM to the directory: ";

// A line break would split the status file's path line, and the removal could never find the
// game again; no other control character belongs in a folder's name either. In UTF-8 these are
// the bytes below a space, DEL, the controls U+0080 to U+009F, and the line and paragraph
// separators U+2028 and U+2029.
bool holdsControlCharacter(std::string_view text)
{
    for (std::size_t index = 0; index < text.size(); ++index) {
        const auto byte = static_cast<unsigned char>(text[index]);
        const std::string_view rest = text.substr(index);
        if (byte < 0x20 || byte == 0x7f)
            return true;
        if (byte == 0xc2 && rest.size() >= 2 && static_cast<unsigned char>(rest[1]) <= 0x9f)
            return true;
        if (rest.starts_with("\xe2\x80\xa8") || rest.starts_with("\xe2\x80\xa9"))
            return true;
    }
    return false;
}

} // namespace

std::string InstallRequest::canonicalDirectory(const std::string &typed)
{
    return typed.ends_with('\\') ? typed : typed + '\\';
}

ErrorOr<void> InstallRequest::run(const std::string &directory, Edition edition)
{
    m_directory = directory;
    if (holdsControlCharacter(m_directory))
        return RuntimeError(RuntimeErrorCode::PathNotFound, m_directory,
                            "The game folder's name holds a line break or another control "
                            "character, which no folder of the game has. Type the folder again, "
                            "such as C:\\WESTWOOD\\REDALERT\\.");
    const StatusRecord status = TRY(StatusFile(m_services.fileSystem).read());
    if (status.statusItem != StatusFile::Uninstalled) {
        m_services.messageBox.show(AlreadyInstalled, MessageBoxStyle::Question, Title);
        return {};
    }
    const int answer = m_services.messageBox.show(
        ConfirmPrompt + m_directory, MessageBoxStyle::YesNo | MessageBoxStyle::Question,
        ConfirmTitle);
    // Only the player's Yes installs: a box closed by Alt+F4, Esc or its close box answers
    // Cancel, and that is no consent.
    if (answer != MessageBoxAnswer::Yes)
        return {};
    if (edition == Edition::Counterstrike)
        return Ins_Counter();
    return Ins_Aftermath();
}

ErrorOr<void> InstallRequest::Ins_Aftermath()
{
    return m_services.busyIndicator.runWhileBusy([this] {
        return ModInstaller(m_services.fileSystem).install(Edition::Aftermath, m_directory);
    });
}

ErrorOr<void> InstallRequest::Ins_Counter()
{
    return m_services.busyIndicator.runWhileBusy([this] {
        return ModInstaller(m_services.fileSystem).install(Edition::Counterstrike, m_directory);
    });
}
