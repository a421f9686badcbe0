#include "LoggingMessageBox.h"

namespace {

std::string answerName(MessageBoxAnswer answer)
{
    switch (answer) {
    case MessageBoxAnswer::Yes:
        return "Yes";
    case MessageBoxAnswer::No:
        return "No";
    case MessageBoxAnswer::Ok:
        return "OK";
    case MessageBoxAnswer::Cancel:
        break;
    }
    return "closed without an answer";
}

} // namespace

MessageBoxAnswer LoggingMessageBox::show(const std::string &prompt, MessageBoxButtons buttons,
                                         MessageBoxIcon icon, const std::string &title)
{
    if (buttons == MessageBoxButtons::YesNo) {
        m_log.write("Asked: " + prompt);
        const MessageBoxAnswer answer = m_messageBox.show(prompt, buttons, icon, title);
        m_log.write("Answered: " + answerName(answer));
        return answer;
    }
    const bool error = icon == MessageBoxIcon::Critical;
    m_log.write((error ? "Error shown: " : "Shown: ") + prompt);
    return m_messageBox.show(prompt, buttons, icon, title);
}
