#pragma once

#include "MainWindowView.h"
#include "runtime/RuntimeServices.h"

#include <cstdint>

// The main window's routines: which picture button is highlighted, and what a click on each of
// them does. The window on the screen forwards its mouse events here and shows what it is told.
class MainWindowController final
{
public:
    static constexpr std::int16_t NoHighlight = 5;

    MainWindowController(MainWindowView &view, RuntimeServices &services)
        : m_view(view), m_services(services)
    {}

    // The picture button under the mouse, or NoHighlight.
    std::int16_t highlightIndex() const { return m_highlightIndex; }

    void Buttonn_Click(std::int16_t index);
    void Buttonn_MouseMove(std::int16_t index);
    void Form_MouseMove();
    // The picture buttons are one stop of the keyboard's: a key moves the highlight as the mouse
    // would, and presses the highlighted button as a click would.
    void Form_KeyDown(MainWindowKey key);

private:
    void showAllNormal();

    void func_install();
    void func_uninstall();
    void func_credits();
    void func_exit();

    MainWindowView &m_view;
    RuntimeServices &m_services;
    std::int16_t m_highlightIndex = NoHighlight;
};
