#pragma once

#include "install/RemovalForm.h"
#include "runtime/FileSystem.h"
#include "runtime/MessageBox.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <memory>

class Form2;
class PictureArea;

// The borderless main window: a title banner above four picture buttons (Install, Uninstall,
// Credits, Exit). The button under the mouse shows its highlighted picture.
class Form1 final : public QWidget, public RemovalForm
{
    Q_OBJECT

public:
    static constexpr qint16 NoHighlight = 5;

    Form1(FileSystem &fileSystem, MessageBox &messageBox);
    ~Form1() override;

    qint16 highlightIndex() const { return m_highlightIndex; }

    void setStoredGameDirectory(const std::string &directory) override;
    ErrorOr<void> Unins_Aftermath() override;
    ErrorOr<void> Unins_Counterstrike() override;

protected:
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Buttonn_Click(qint16 index);
    void Buttonn_MouseMove(qint16 index);
    void Form_MouseMove();

    void func_install();
    void func_uninstall();
    void func_credits();
    void func_exit();

    FileSystem &m_fileSystem;
    MessageBox &m_messageBox;

    PictureArea *Picture1 = nullptr;
    std::array<PictureArea *, 4> Buttonn{};
    std::array<QPixmap, 4> Off;
    std::array<QPixmap, 4> onn;

    qint16 m_highlightIndex = NoHighlight;
    std::string m_storedGameDirectory;
    std::unique_ptr<Form2> m_installDialog;
};
