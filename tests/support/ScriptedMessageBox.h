#pragma once

#include "runtime/MessageBox.h"

#include <string>
#include <vector>

// Answers message boxes from a script and records each as "title | [YN ]icon's initial | prompt".
class ScriptedMessageBox final : public MessageBox
{
public:
    using Answers = std::vector<MessageBoxAnswer>;
    explicit ScriptedMessageBox(Answers answers = {}) : m_answers(std::move(answers)) {}

    // Gives the next scripted answer, or OK once the script has run out.
    MessageBoxAnswer show(const std::string &prompt, MessageBoxButtons buttons, MessageBoxIcon icon,
                          const std::string &title) override;

    const std::vector<std::string> &shown() const { return m_shown; }
    // Whether each message shown matches the expected one, where one "..." stands for any text.
    bool showed(const std::vector<std::string> &expected) const;

private:
    Answers m_answers;
    std::vector<std::string> m_shown;
};
