#pragma once

#include "runtime/MessageBox.h"

#include <QList>
#include <QStringList>

// Answers message boxes from a script and records each as "title | style | prompt".
class ScriptedMessageBox final : public MessageBox
{
public:
    explicit ScriptedMessageBox(QList<int> answers = {}) : m_answers(std::move(answers)) {}

    // Gives the next scripted answer, or OK once the script has run out.
    int show(const QString &prompt, int style, const QString &title) override;

    const QStringList &shown() const { return m_shown; }
    // Whether each message shown matches the expected one, where one "..." stands for any text.
    bool showed(const QStringList &expected) const;

private:
    QList<int> m_answers;
    QStringList m_shown;
};
