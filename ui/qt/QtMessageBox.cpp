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

// Wide enough for the install confirmation with its directory on one line; a longer sentence
// wraps, as text reads best in lines of moderate length.
int roomFor(const QMessageBox &box)
{
    constexpr int CharactersPerLine = 90;
    return qMin(box.screen()->availableGeometry().width() * 2 / 3,
                box.fontMetrics().averageCharWidth() * CharactersPerLine);
}

// A directory of thousands of characters would run off the screen, since a label breaks lines
// only between words. The middle of such a word gives way, so that its start and its end stay
// in view, and the rest of the prompt reads as it is.
QString fitted(const QString &prompt, const QFontMetrics &metrics, int room)
{
    QStringList words = prompt.split(u' ');
    for (QString &word : words)
        if (!word.contains(u'\n'))
            word = metrics.elidedText(word, Qt::ElideMiddle, room / 2);
    return words.join(u' ');
}

// QMessageBox wraps a line long before the screen's edge, and it may break inside a path
// ("C:" above "\WESTWOOD\REDALERT\"). A box as wide as the longest line keeps each line whole.
void keepLinesWhole(QMessageBox &box, const QString &text)
{
    for (QLabel *label : box.findChildren<QLabel *>()) {
        if (label->text() != text)
            continue;
        const QFontMetrics metrics = label->fontMetrics();
        int widest = 0;
        for (const QString &line : text.split(u'\n'))
            widest = qMax(widest, metrics.horizontalAdvance(line));
        label->setMinimumWidth(qMin(widest + metrics.averageCharWidth(), roomFor(box)));
    }
}

} // namespace

int QtMessageBox::show(const std::string &prompt, int style, const std::string &title)
{
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(title));
    // Directories are shown as typed; a "<" in one must not turn the prompt into markup.
    box.setTextFormat(Qt::PlainText);
    const QString text = fitted(QString::fromStdString(prompt), box.fontMetrics(), roomFor(box));
    box.setText(text);
    box.setIcon(iconFor(style));
    if ((style & ButtonsMask) == MessageBoxStyle::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    keepLinesWhole(box, text);
    return answerFor(box.exec());
}
