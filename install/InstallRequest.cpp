#include "InstallRequest.h"

#include "ModInstaller.h"
#include "runtime/Text.h"
#include "StaleStatusOffer.h"
#include "StatusFile.h"
#include "WindowsFileName.h"

#include <string_view>

namespace {

const std::string ConfirmTitle = "Install BEXOM?";
const std::string AlreadyInstalled = "BEXOM is already Installed";
const std::string ConfirmPrompt = "Are you sure you wish to install BEXOM to the directory: ";
const std::string Working = "Installing BEXOM...";

// Where the mod is installed already, if the status file says, and how to install it elsewhere.
std::string alreadyInstalledNotice(const std::string &gameDirectory)
{
    const std::string where =
        gameDirectory.empty() ? std::string() : "It is installed in " + gameDirectory + ". ";
    return AlreadyInstalled + "\n\n" + where +
           "To install it again, elsewhere or for the other expansion, uninstall it first.";
}

std::string doneNotice(const std::string &directory)
{
    return "BEXOM has been installed in " + directory + ".";
}

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

// A path with a drive letter or a server share, as Windows names folders; not a POSIX path.
bool isWindowsPath(std::string_view text)
{
    return Text::startsWithDrive(text) || Text::startsWithShare(text);
}

// Why Windows would take one of the folder names in the path for another; None when it takes
// them all as written. The drive, and the extended form that no player types, are left alone.
ErrorCause problemWithFolderNames(const std::string &directory)
{
    if (!isWindowsPath(directory) || directory.starts_with("\\\\?\\"))
        return {};
    const std::size_t start = directory[1] == ':' ? 2 : 0;
    for (const std::string &name :
         Text::split(std::string_view(directory).substr(start), '\\', Text::EmptyParts::Skip))
        if (ErrorCause problem = WindowsFileName::problemWith(name);
            problem.reason() != ErrorReason::None)
            return Cause::NameWindowsRewrites{name, std::move(problem)};
    return {};
}

} // namespace

// Windows takes a forward slash as a separator, so in a Windows path it becomes the backslash:
// "C:/Games/RA/" is "C:\Games\RA\", not "C:/Games/RA/\". A path from the root of a Linux system
// keeps its own separator: "/games/RA/", not "/games/RA\".
std::string InstallRequest::canonicalDirectory(const std::string &typed)
{
    if (typed.starts_with('/') && !isWindowsPath(typed))
        return typed.ends_with('/') || typed.ends_with('\\') ? typed : typed + '/';
    const std::string directory = isWindowsPath(typed) ? Text::replaceAll(typed, "/", "\\") : typed;
    return directory.ends_with('\\') ? directory : directory + '\\';
}

ErrorOr<void> InstallRequest::run(const std::string &directory, Edition edition)
{
    m_directory = directory;
    if (holdsControlCharacter(m_directory))
        return RuntimeError(RuntimeErrorCode::PathNotFound, m_directory,
                            {ErrorReason::ControlCharacterInFolderName});
    if (ErrorCause problem = problemWithFolderNames(m_directory);
        problem.reason() != ErrorReason::None)
        return RuntimeError(RuntimeErrorCode::PathNotFound, m_directory, std::move(problem));
    const StatusRecord status = TRY(StatusFile(m_services.fileSystem).read());
    if (status.statusItem != StatusFile::Uninstalled) {
        if (TRY(StaleStatusOffer(m_services).offer(status)))
            return {};
        m_services.messageBox.show(alreadyInstalledNotice(status.gameDirectory()),
                                   MessageBoxButtons::Ok, MessageBoxIcon::Question,
                                   MessageBox::Title);
        return {};
    }
    // A question whose Yes would only be refused is not asked.
    TRY(ModInstaller(m_services.fileSystem).checkInstallable(edition, m_directory));
    const MessageBoxAnswer answer =
        m_services.messageBox.show(ConfirmPrompt + m_directory, MessageBoxButtons::YesNo,
                                   MessageBoxIcon::Question, ConfirmTitle);
    // Only the player's Yes installs: a box closed by Alt+F4, Esc or its close box answers
    // Cancel, and that is no consent.
    if (answer != MessageBoxAnswer::Yes)
        return {};
    TRY(edition == Edition::Counterstrike ? Ins_Counter() : Ins_Aftermath());
    // The player must learn that the work was done, not guess it from a dialog that looks the same.
    m_services.messageBox.show(doneNotice(m_directory), MessageBoxButtons::Ok,
                               MessageBoxIcon::Information, MessageBox::Title);
    return {};
}

ErrorOr<void> InstallRequest::Ins_Aftermath()
{
    return m_services.busyIndicator.runWhileBusy(Working, [this] {
        return ModInstaller(m_services.fileSystem).install(Edition::Aftermath, m_directory);
    });
}

ErrorOr<void> InstallRequest::Ins_Counter()
{
    return m_services.busyIndicator.runWhileBusy(Working, [this] {
        return ModInstaller(m_services.fileSystem).install(Edition::Counterstrike, m_directory);
    });
}
