#pragma once

#include "PictureArea.h"
#include "runtime/ErrorOr.h"
#include "ui/AdministratorRestart.h"
#include "ui/MainWindowController.h"
#include "ui/MainWindowLayout.h"

#include "WindowsApi.h"

#include <array>
#include <memory>
#include <optional>
#include <type_traits>

class Form2;

// The borderless main window: a title banner above four picture buttons (Install, Uninstall,
// Credits, Exit), each a child window of its own. It shows pictures and forwards the mouse to
// its routines.
class Form1 final : private MainWindowView
{
public:
    static constexpr const wchar_t *ClassName = L"BexomForm1";
    // The child windows' numbers, by which tools find them.
    static constexpr int Picture1Id = 10;
    static constexpr int FirstButtonnId = 20;

    // The window, built and centred but not yet shown, or why Windows refused it.
    static ErrorOr<std::unique_ptr<Form1>> create(HINSTANCE instance, RuntimeServices &services,
                                                  AdministratorRestart &restart);
    ~Form1() override;
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    void show(int showCommand);
    // Opens the install dialog with the choice, as the player left it in the instance that
    // started this one, once the event loop runs.
    void reopenInstallDialog(const DialogChoice &choice);

private:
    Form1(HINSTANCE instance, RuntimeServices &services, AdministratorRestart &restart);

    ErrorOr<void> loadArtwork();
    void loadLargePictures();
    ErrorOr<void> createWindow();
    ErrorOr<void> createPictureAreas();
    // Sizes the window and places its pictures for the DPI, in the given place or centred.
    void layOut(int dpi, const RECT *place = nullptr);

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onKey(WPARAM key);

    void showButtonPicture(std::int16_t index, ButtonPicture picture) override;
    void showInstallDialog() override;
    void endProgram() override;

    HINSTANCE m_instance;
    RuntimeServices &m_services;
    AdministratorRestart &m_restart;
    std::optional<DialogChoice> m_reopenedChoice;
    MainWindowController m_controller;
    HWND m_window = nullptr;

    ScaledPicture m_banner;
    std::array<ScaledPicture, MainWindowLayout::ButtonCount> Off{};
    std::array<ScaledPicture, MainWindowLayout::ButtonCount> onn{};
    std::unique_ptr<PictureArea> Picture1;
    std::array<std::unique_ptr<PictureArea>, MainWindowLayout::ButtonCount> Buttonn;

    // Hidden but while a removal runs: the busy sign shows it, white on black.
    HWND StatusLine = nullptr;
    std::unique_ptr<std::remove_pointer_t<HFONT>, decltype(&DeleteObject)> m_statusFont{
        nullptr, DeleteObject};

    std::unique_ptr<Form2> m_installDialog;
};
