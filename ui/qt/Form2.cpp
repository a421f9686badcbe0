#include "Form2.h"

#include "ui/InstallDialogLayout.h"
#include "WindowAccessible.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <limits>

namespace {

using InstallDialogLayout::Control;

QString captionOf(const Control &control)
{
    return QString::fromUtf8(control.caption);
}

template <typename Widget> Widget *place(Widget *widget, const Control &control)
{
    widget->setObjectName(QString::fromLatin1(control.name));
    widget->setGeometry(control.place.left, control.place.top, control.place.width,
                        control.place.height);
    return widget;
}

// Neither button may act as the dialog's default: Enter in the directory box installs nothing.
QPushButton *plainButton(const Control &control, QWidget *parent)
{
    auto *button = place(new QPushButton(captionOf(control), parent), control);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

Form2::Form2(RuntimeServices &services)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      m_controller(*this, services)
{
    using namespace InstallDialogLayout;
    setWindowTitle(QString::fromUtf8(Title));
    setFixedSize(ClientWidth, ClientHeight);
    WindowAccessible::track(this);

    // Created in tab order.
    Text1 = place(new QLineEdit(this), InstallDialogLayout::Text1);
    // A directory may be longer than QLineEdit's default limit of 32767 characters.
    Text1->setMaxLength(std::numeric_limits<int>::max());
    Label1 = new QLabel(captionOf(InstallDialogLayout::Label1), this);
    Label1->setObjectName(QString::fromLatin1(InstallDialogLayout::Label1.name));
    // Screen readers then name the directory box after its label.
    Label1->setBuddy(Text1);
    // Sized to its caption in the font Qt gives it.
    Label1->setGeometry(
        QRect(QPoint(InstallDialogLayout::Label1.place.left, InstallDialogLayout::Label1.place.top),
              Label1->sizeHint()));
    Option1 = place(new QRadioButton(captionOf(InstallDialogLayout::Option1), this),
                    InstallDialogLayout::Option1);
    Option2 = place(new QRadioButton(captionOf(InstallDialogLayout::Option2), this),
                    InstallDialogLayout::Option2);
    Command1 = plainButton(InstallDialogLayout::Command1, this);
    Command2 = plainButton(InstallDialogLayout::Command2, this);
    StatusLine = place(new QLabel(this), InstallDialogLayout::StatusLine);
    StatusLine->hide();

    for (QRadioButton *option : {Option1, Option2})
        connect(option, &QRadioButton::toggled, this, [this] { takeTabOnSelectedOption(); });
    connect(Command1, &QPushButton::clicked, this, [this] { m_controller.Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, &QDialog::close);
    load();
}

void Form2::load()
{
    Text1->setText(captionOf(InstallDialogLayout::Text1));
    Option2->setChecked(true);
    Text1->setFocus();
}

std::string Form2::directoryText() const
{
    return Text1->text().toStdString();
}

void Form2::setDirectoryText(const std::string &text)
{
    Text1->setText(QString::fromStdString(text));
}

bool Form2::counterstrikeSelected() const
{
    return Option1->isChecked();
}

void Form2::setVisible(bool visible)
{
    // Over the main window, which stands centred on the screen: the dialog's centre is the
    // screen's. Left to itself, Qt would place it by a guess at its frame, off the centre.
    const QPoint centre = screen()->availableGeometry().center();
    if (visible)
        move(centre - rect().center());
    QDialog::setVisible(visible);
    // The frame is known once the window is up; it counts as part of the dialog. At the first
    // opening the window manager adds it only later, and the move that follows centres it then.
    m_frameToCentre = visible;
    if (visible)
        centreFrame();
    // QDialog hands the first focus over as if by Tab, which selects the whole directory: the
    // player's first key would wipe it instead of editing it.
    if (visible)
        Text1->deselect();
}

void Form2::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    if (m_frameToCentre)
        centreFrame();
}

// Once, as soon as the frame is known: a move of the player's own comes after it.
void Form2::centreFrame()
{
    if (frameGeometry() == geometry())
        return;
    m_frameToCentre = false;
    move(pos() + screen()->availableGeometry().center() - frameGeometry().center());
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    // Esc would reject the dialog; only the close box and Cancel leave it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    // A push button that is not the default lets Enter through to the dialog; as on Windows, the
    // one that has the focus is pressed. Enter anywhere else presses nothing.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->animateClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The option buttons act as one stop in the tab order, as a group of option buttons does on
// Windows: Tab lands on the selected one, and the arrow keys move between the two.
void Form2::takeTabOnSelectedOption()
{
    for (QRadioButton *option : {Option1, Option2})
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}
