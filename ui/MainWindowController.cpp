#include "MainWindowController.h"

#include "install/RemovalRequest.h"
#include "MainWindowLayout.h"
#include "NoticeWording.h"
#include "RuntimeErrorNotice.h"

void MainWindowController::Buttonn_Click(std::int16_t index)
{
    if (index == 3)
        func_exit();
    if (index == 2)
        func_credits();
    if (index == 1)
        func_uninstall();
    if (index == 0)
        func_install();
}

void MainWindowController::Buttonn_MouseMove(std::int16_t index)
{
    if (index == m_highlightIndex)
        return;
    m_highlightIndex = index;
    showAllNormal();
    m_view.showButtonPicture(index, ButtonPicture::Highlighted);
}

void MainWindowController::Form_MouseMove()
{
    if (m_highlightIndex == NoHighlight)
        return;
    m_highlightIndex = NoHighlight;
    showAllNormal();
}

void MainWindowController::Form_KeyDown(MainWindowKey key)
{
    constexpr std::int16_t Count = MainWindowLayout::ButtonCount;
    if (key == MainWindowKey::Press) {
        if (m_highlightIndex != NoHighlight)
            Buttonn_Click(m_highlightIndex);
        return;
    }
    // With nothing highlighted, the first key lands on Install or, going back, on Exit.
    if (m_highlightIndex == NoHighlight) {
        Buttonn_MouseMove(key == MainWindowKey::Next ? 0 : Count - 1);
        return;
    }
    const std::int16_t step = key == MainWindowKey::Next ? 1 : Count - 1;
    Buttonn_MouseMove(static_cast<std::int16_t>((m_highlightIndex + step) % Count));
}

void MainWindowController::showAllNormal()
{
    for (std::int16_t i = 0; i < MainWindowLayout::ButtonCount; ++i)
        m_view.showButtonPicture(i, ButtonPicture::Normal);
}

void MainWindowController::func_install()
{
    m_view.showInstallDialog();
}

void MainWindowController::func_uninstall()
{
    RuntimeErrorNotice::showIfFailed(m_services.messageBox, RemovalRequest(m_services).run());
}

void MainWindowController::func_credits()
{
    m_services.messageBox.show(NoticeWording::Credits, MessageBoxButtons::Ok,
                               MessageBoxIcon::Question, MessageBox::Title);
}

void MainWindowController::func_exit()
{
    const MessageBoxAnswer answer =
        m_services.messageBox.show(NoticeWording::LeaveQuestion, MessageBoxButtons::YesNo,
                                   MessageBoxIcon::Question, NoticeWording::LeaveTitle);
    // Closing the box is no answer, and the program stays.
    if (answer != MessageBoxAnswer::Yes)
        return;
    m_view.endProgram();
}
