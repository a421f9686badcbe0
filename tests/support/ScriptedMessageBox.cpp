#include "ScriptedMessageBox.h"

int ScriptedMessageBox::show(const QString &prompt, int style, const QString &title)
{
    m_shown.append(line(title, style, prompt));
    return m_answers.isEmpty() ? MessageBoxAnswer::Ok : m_answers.takeFirst();
}

QString ScriptedMessageBox::line(const QString &title, int style, const QString &prompt)
{
    return QStringLiteral("%1 | %2 | %3").arg(title).arg(style).arg(prompt);
}
