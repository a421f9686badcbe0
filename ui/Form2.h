#pragma once

#include "install/InstallForm.h"
#include "runtime/FileSystem.h"
#include "runtime/MessageBox.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The install dialog: where the game is and which expansion it has. Its Install button runs the
// install request; the dialog stays open until the player closes it.
class Form2 final : public QDialog, public InstallForm
{
    Q_OBJECT

public:
    static inline const QString DefaultDirectory = QStringLiteral("C:\\WESTWOOD\\REDALERT\\");

    Form2(FileSystem &fileSystem, MessageBox &messageBox);

    // Gives every control its design value again, so that nothing typed or chosen at an earlier
    // opening survives.
    void load();

    std::string directoryText() const override;
    void setDirectoryText(const std::string &text) override;
    bool counterstrikeSelected() const override;

    ErrorOr<void> Ins_Aftermath() override;
    ErrorOr<void> Ins_Counter() override;

    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Command1_Click();

    FileSystem &m_fileSystem;
    MessageBox &m_messageBox;

    QLineEdit *Text1 = nullptr;
    QLabel *Label1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
};
