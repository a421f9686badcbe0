#include "TerminalMessageBox.h"

#include "runtime/Text.h"

MessageBoxAnswer TerminalMessageBox::show(const std::string &prompt, MessageBoxButtons buttons,
                                          MessageBoxIcon icon, const std::string &)
{
    if (buttons == MessageBoxButtons::YesNo) {
        // What was said before the question is what the question is about.
        release(Terminal::Stream::Output);
        m_terminal.write(Terminal::Stream::Output, prompt + " [y/N] ");
        return answeredYes() ? MessageBoxAnswer::Yes : MessageBoxAnswer::No;
    }
    if (icon == MessageBoxIcon::Critical)
        m_terminal.write(Terminal::Stream::Error, prompt + "\n");
    else
        m_notices.push_back(prompt);
    return MessageBoxAnswer::Ok;
}

void TerminalMessageBox::release(Terminal::Stream stream)
{
    for (const std::string &notice : m_notices)
        m_terminal.write(stream, notice + "\n");
    m_notices.clear();
}

bool TerminalMessageBox::answeredYes()
{
    if (m_confirmation == Confirmation::AssumeYes) {
        m_terminal.write(Terminal::Stream::Output, "yes\n");
        return true;
    }
    const std::optional<std::string> line = m_terminal.readLine();
    if (!line) {
        m_terminal.write(Terminal::Stream::Output, "\n");
        return false;
    }
    // Blanks around the word are no part of the answer.
    const std::size_t first = line->find_first_not_of(" \t");
    const std::size_t last = line->find_last_not_of(" \t");
    const std::string answer =
        first == std::string::npos ? "" : Text::toLowerAscii(line->substr(first, last - first + 1));
    return answer == "y" || answer == "yes";
}
