#pragma once

#include "ui/InstallDialogController.h"
#include "ui/InstallDialogLayout.h"

#include "Win32BusyIndicator.h"
#include "WindowsApi.h"

#include <array>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

// The install dialog: where the game is and which expansion it has. Its Install button runs the
// install request; the dialog stays open until the player closes it. Windows' dialog manager
// runs it, so that Tab, the arrow keys in the option group and Space on a button work as in any
// other dialog.
class Form2 final : private InstallDialogView
{
public:
    // The controls' numbers, by which tools find them. None is IDOK or IDCANCEL, which the dialog
    // manager sends for Enter and Esc.
    static constexpr int Text1Id = 101;
    static constexpr int Label1Id = 102;
    static constexpr int Option1Id = 103;
    static constexpr int Option2Id = 104;
    static constexpr int Command1Id = 105;
    static constexpr int Command2Id = 106;
    static constexpr int StatusLineId = Win32BusyIndicator::StatusLineId;

    Form2(HINSTANCE instance, RuntimeServices &services, AdministratorRestart &restart);

    // Builds the dialog with every control at its design value, so that nothing typed or chosen
    // at an earlier opening survives, and shows it modally over the owner, which takes no input
    // meanwhile. Returns once the player has closed it.
    // With a choice, the directory box and the option buttons show it instead.
    void showModal(HWND owner, const std::optional<DialogChoice> &choice = std::nullopt);

private:
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void load();
    // Sizes the dialog and places its controls for the DPI, where Windows proposes or centred.
    void layOut(int dpi, const RECT *proposed = nullptr);
    void useFontFor(int dpi);
    std::array<std::pair<HWND, const InstallDialogLayout::Control *>, 7> controls() const;
    void onCommand(int id);

    std::string directoryText() const override;
    void setDirectoryText(const std::string &text) override;
    bool counterstrikeSelected() const override;

    HINSTANCE m_instance;
    RuntimeServices &m_services;
    InstallDialogController m_controller;
    // The dialog's window, for as long as it is open.
    HWND m_dialog = nullptr;
    std::vector<WORD> m_template;
    // The dialog font made for a monitor of another scale than the one the dialog opened on.
    std::unique_ptr<std::remove_pointer_t<HFONT>, decltype(&DeleteObject)> m_scaledFont{
        nullptr, DeleteObject};

    HWND Text1 = nullptr;
    HWND Label1 = nullptr;
    HWND Option1 = nullptr;
    HWND Option2 = nullptr;
    HWND Command1 = nullptr;
    HWND Command2 = nullptr;
    HWND StatusLine = nullptr;
    std::optional<DialogChoice> m_choice;
};
