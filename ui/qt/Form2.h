#pragma once

#include "ui/InstallDialogController.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The install dialog: where the game is and which expansion it has. Its Install button runs the
// install request; the dialog stays open until the player closes it.
class Form2 final : public QDialog, private InstallDialogView
{
    Q_OBJECT

public:
    explicit Form2(RuntimeServices &services);

    // Gives every control its design value again, so that nothing typed or chosen at an earlier
    // opening survives.
    void load();

    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void takeTabOnSelectedOption();
    void centreFrame();

    std::string directoryText() const override;
    void setDirectoryText(const std::string &text) override;
    bool counterstrikeSelected() const override;

    InstallDialogController m_controller;

    QLineEdit *Text1 = nullptr;
    QLabel *Label1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QLabel *StatusLine = nullptr;
    // Until the window manager's frame is known and centred at this opening.
    bool m_frameToCentre = false;
};
