#pragma once

#include "runtime/MessageBox.h"

#include <string>
#include <vector>

// Answers message boxes from a script and records each as "title | style | prompt".
class ScriptedMessageBox final : public MessageBox
{
public:
    explicit ScriptedMessageBox(std::vector<int> answers = {}) : m_answers(std::move(answers)) {}

    // Gives the next scripted answer, or OK once the script has run out.
    int show(const std::string &prompt, int style, const std::string &title) override;

    const std::vector<std::string> &shown() const { return m_shown; }
    // Whether each message shown matches the expected one, where one "..." stands for any text.
    bool showed(const std::vector<std::string> &expected) const;

private:
    std::vector<int> m_answers;
    std::vector<std::string> m_shown;
};
