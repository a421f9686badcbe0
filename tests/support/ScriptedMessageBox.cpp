#include "ScriptedMessageBox.h"

MessageBoxAnswer ScriptedMessageBox::show(const std::string &prompt, MessageBoxButtons buttons,
                                          MessageBoxIcon icon, const std::string &title)
{
    const std::string yesNo = buttons == MessageBoxButtons::YesNo ? "YN " : "";
    m_shown.push_back(title + " | " + yesNo + "-CQI"[int(icon)] + " | " + prompt);
    if (m_answers.empty())
        return MessageBoxAnswer::Ok;
    const MessageBoxAnswer answer = m_answers.front();
    m_answers.erase(m_answers.begin());
    return answer;
}

bool ScriptedMessageBox::showed(const std::vector<std::string> &expected) const
{
    if (m_shown.size() != expected.size())
        return false;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string &shown = m_shown[i];
        const std::size_t gap = expected[i].find("...");
        if (gap == std::string::npos ? shown != expected[i]
                                     : !shown.starts_with(expected[i].substr(0, gap)) ||
                                           !shown.ends_with(expected[i].substr(gap + 3)) ||
                                           shown.size() < expected[i].size() - 3)
            return false;
    }
    return true;
}
