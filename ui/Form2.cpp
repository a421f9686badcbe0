#include "Form2.h"

#include "BusyCursor.h"
#include "install/InstallRequest.h"
#include "install/ModInstaller.h"
#include "RuntimeErrorNotice.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <limits>

namespace {

constexpr QSize ClientSize(258, 178);

template <typename Control> Control *place(Control *control, const char *name, const QRect &where)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(where);
    return control;
}

// Neither button may act as the dialog's default: Enter in the directory box installs nothing.
QPushButton *plainButton(const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

Form2::Form2(FileSystem &fileSystem, MessageBox &messageBox)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      m_fileSystem(fileSystem), m_messageBox(messageBox)
{
    setWindowTitle(QStringLiteral("Install BEXOM"));
    setFixedSize(ClientSize);

    // Created in tab order.
    Text1 = place(new QLineEdit(this), "Text1", QRect(8, 32, 241, 25));
    // A directory may be longer than QLineEdit's default limit of 32767 characters.
    Text1->setMaxLength(std::numeric_limits<int>::max());
    Label1 = new QLabel(QStringLiteral("Location of Red Alert:"), this);
    place(Label1, "Label1", QRect(QPoint(8, 16), Label1->sizeHint()));
    Option1 = place(new QRadioButton(QStringLiteral("Counterstrike"), this), "Option1",
                    QRect(8, 72, 129, 17));
    Option2 = place(new QRadioButton(QStringLiteral("Aftermath (and/or Counterstrike)"), this),
                    "Option2", QRect(8, 88, 241, 25));
    Command1 =
        place(plainButton(QStringLiteral("Install"), this), "Command1", QRect(184, 136, 65, 33));
    Command2 =
        place(plainButton(QStringLiteral("Cancel"), this), "Command2", QRect(8, 136, 65, 33));

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::close);
    load();
}

void Form2::load()
{
    Text1->setText(DefaultDirectory);
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

ErrorOr<void> Form2::Ins_Aftermath()
{
    const BusyCursor busy;
    return ModInstaller(m_fileSystem).install(Edition::Aftermath, Text1->text().toStdString());
}

ErrorOr<void> Form2::Ins_Counter()
{
    const BusyCursor busy;
    return ModInstaller(m_fileSystem).install(Edition::Counterstrike, Text1->text().toStdString());
}

void Form2::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    // QDialog hands the first focus over as if by Tab, which selects the whole directory: the
    // player's first key would wipe it instead of editing it.
    if (visible)
        Text1->deselect();
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    // Esc would reject the dialog; only the close box and Cancel leave it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Form2::Command1_Click()
{
    RuntimeErrorNotice::showIfFailed(m_messageBox,
                                     InstallRequest(m_fileSystem, m_messageBox).run(*this));
}
