#include "QtMessageBox.h"

#include <QLabel>
#include <QMessageBox>
#include <QScreen>

namespace {

constexpr int ButtonsMask = 0x07;
constexpr int IconMask = 0x70;
constexpr int Exclamation = 48;

QMessageBox::Icon iconFor(int style)
{
    switch (style & IconMask) {
    case MessageBoxStyle::Critical:
        return QMessageBox::Critical;
    case MessageBoxStyle::Question:
        return QMessageBox::Question;
    case Exclamation:
        return QMessageBox::Warning;
    case MessageBoxStyle::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int answerFor(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return MessageBoxAnswer::Yes;
    case QMessageBox::No:
        return MessageBoxAnswer::No;
    default:
        return MessageBoxAnswer::Ok;
    }
}

// QMessageBox wraps a line long before the screen's edge, and it may break inside a path
// ("C:" above "\WESTWOOD\REDALERT\"). A box as wide as the longest line keeps each line whole as
// long as the screen has room for it.
void keepLinesWhole(QMessageBox &box, const QString &prompt)
{
    for (QLabel *label : box.findChildren<QLabel *>()) {
        if (label->text() != prompt)
            continue;
        const QFontMetrics metrics = label->fontMetrics();
        int widest = 0;
        for (const QString &line : prompt.split(u'\n'))
            widest = qMax(widest, metrics.horizontalAdvance(line));
        const int room = box.screen()->availableGeometry().width() * 2 / 3;
        label->setMinimumWidth(qMin(widest + metrics.averageCharWidth(), room));
    }
}

} // namespace

int QtMessageBox::show(const QString &prompt, int style, const QString &title)
{
    QMessageBox box;
    box.setWindowTitle(title);
    // Directories are shown as typed; a "<" in one must not turn the prompt into markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(prompt);
    box.setIcon(iconFor(style));
    if ((style & ButtonsMask) == MessageBoxStyle::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    keepLinesWhole(box, prompt);
    return answerFor(box.exec());
}
