#include "QtMessageBox.h"

#include "ui/PromptWrapper.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QShortcut>

namespace {

QMessageBox::Icon iconFor(MessageBoxIcon icon)
{
    switch (icon) {
    case MessageBoxIcon::Critical:
        return QMessageBox::Critical;
    case MessageBoxIcon::Question:
        return QMessageBox::Question;
    case MessageBoxIcon::Information:
        return QMessageBox::Information;
    case MessageBoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

MessageBoxAnswer answerFor(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return MessageBoxAnswer::Yes;
    case QMessageBox::No:
        return MessageBoxAnswer::No;
    case QMessageBox::Ok:
        return MessageBoxAnswer::Ok;
    default:
        return MessageBoxAnswer::Cancel;
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

// The prompt in lines that fit the box and the screen, every line kept whole by the label.
QString laidOut(const QMessageBox &box, const std::string &prompt)
{
    const QFontMetrics metrics = box.fontMetrics();
    const auto characterWidth = [&metrics](std::string_view character) {
        return metrics.horizontalAdvance(
            QString::fromUtf8(character.data(), qsizetype(character.size())));
    };
    // Room for the buttons and the frame below the text.
    const int maxLines =
        (box.screen()->availableGeometry().height() * 3 / 4 - 100) / metrics.lineSpacing();
    // The characters' advances, added up, may fall a little short of a line's real width.
    PromptWrapper wrapper(characterWidth, roomFor(box) - metrics.averageCharWidth(), maxLines);
    return QString::fromStdString(wrapper.wrap(prompt));
}

// The lines are laid out already: the label must neither break them again nor narrow them.
void keepLinesWhole(QMessageBox &box, const QString &text)
{
    for (QLabel *label : box.findChildren<QLabel *>()) {
        if (label->text() != text)
            continue;
        label->setWordWrap(false);
        const QFontMetrics metrics = label->fontMetrics();
        int widest = 0;
        for (const QString &line : text.split(u'\n'))
            widest = qMax(widest, metrics.horizontalAdvance(line));
        label->setMinimumWidth(widest + metrics.averageCharWidth());
    }
}

// What the player selected with the mouse, or else the whole prompt, as on Windows: its lines as
// written, not as laid out in the box.
void copyMessage(const QMessageBox &box, const QString &text, const std::string &prompt)
{
    for (const QLabel *label : box.findChildren<QLabel *>())
        if (label->text() == text && label->hasSelectedText()) {
            QApplication::clipboard()->setText(label->selectedText());
            return;
        }
    QApplication::clipboard()->setText(QString::fromStdString(prompt));
}

} // namespace

MessageBoxAnswer QtMessageBox::show(const std::string &prompt, MessageBoxButtons buttons,
                                    MessageBoxIcon icon, const std::string &title)
{
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(title));
    // Directories are shown as typed; a "<" in one must not turn the prompt into markup.
    box.setTextFormat(Qt::PlainText);
    const QString text = laidOut(box, prompt);
    box.setText(text);
    // A folder named in a message is copied from it rather than typed again.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    QObject::connect(new QShortcut(QKeySequence::Copy, &box), &QShortcut::activated, &box,
                     [&box, &text, &prompt] { copyMessage(box, text, prompt); });
    box.setIcon(iconFor(icon));
    if (buttons == MessageBoxButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        // Esc and the close box answer No, never the default Yes.
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    keepLinesWhole(box, text);
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const MessageBoxAnswer answer = answerFor(box.exec());
    // Back to the control that had the focus, its window in front: left to the window system,
    // the focus may stay with no control at all, and a screen reader names only the window.
    if (focus) {
        focus->activateWindow();
        focus->setFocus(Qt::OtherFocusReason);
    }
    return answer;
}
