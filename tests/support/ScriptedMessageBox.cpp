#include "ScriptedMessageBox.h"

int ScriptedMessageBox::show(const QString &prompt, int style, const QString &title)
{
    m_shown.append(QStringLiteral("%1 | %2 | %3").arg(title).arg(style).arg(prompt));
    return m_answers.isEmpty() ? MessageBoxAnswer::Ok : m_answers.takeFirst();
}

bool ScriptedMessageBox::showed(const QStringList &expected) const
{
    if (m_shown.size() != expected.size())
        return false;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QString &shown = m_shown[i];
        const qsizetype gap = expected[i].indexOf(QStringLiteral("..."));
        if (gap < 0 ? shown != expected[i]
                    : !shown.startsWith(expected[i].first(gap)) ||
                          !shown.endsWith(expected[i].sliced(gap + 3)) ||
                          shown.size() < expected[i].size() - 3)
            return false;
    }
    return true;
}
