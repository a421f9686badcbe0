#include "InstallRequest.h"

#include "StatusFile.h"

#include <algorithm>

namespace {

const QString Title = QStringLiteral("BEXOM");
const QString ConfirmTitle = QStringLiteral("Install BEXOM?");
const QString AlreadyInstalled = QStringLiteral("BEXOM is already Installed");
const QString ConfirmPrompt = QStringLiteral("Are you sure you wish to install BEXOM to the "
                                             "directory: ");

// A line break would split the status file's path line, and the removal could never find the
// game again; no other control character belongs in a folder's name either.
bool holdsControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar character) {
        return character.category() == QChar::Other_Control ||
               character.category() == QChar::Separator_Line ||
               character.category() == QChar::Separator_Paragraph;
    });
}

} // namespace

ErrorOr<void> InstallRequest::run(InstallForm &form)
{
    if (!form.directoryText().endsWith(u'\\'))
        form.setDirectoryText(form.directoryText() + u'\\');
    if (holdsControlCharacter(form.directoryText()))
        return RuntimeError(RuntimeErrorCode::PathNotFound, form.directoryText(),
                            QStringLiteral("The game folder's name holds a line break or another "
                                           "control character, which no folder of the game has. "
                                           "Type the folder again, such as "
                                           "C:\\WESTWOOD\\REDALERT\\."));
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
