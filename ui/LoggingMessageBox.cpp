#include "LoggingMessageBox.h"

namespace {

std::string answerName(int answer)
{
    switch (answer) {
    case MessageBoxAnswer::Yes:
        return "Yes";
    case MessageBoxAnswer::No:
        return "No";
    case MessageBoxAnswer::Ok:
        return "OK";
    default:
        return "closed without an answer";
    }
}

} // namespace

int LoggingMessageBox::show(const std::string &prompt, int style, const std::string &title)
{
    if (style & MessageBoxStyle::YesNo) {
        m_log.write("Asked: " + prompt);
        const int answer = m_messageBox.show(prompt, style, title);
        m_log.write("Answered: " + answerName(answer));
        return answer;
    }
    const bool error = (style & MessageBoxStyle::Critical) == MessageBoxStyle::Critical;
    m_log.write((error ? "Error shown: " : "Shown: ") + prompt);
    return m_messageBox.show(prompt, style, title);
}
