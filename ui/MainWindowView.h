#pragma once

#include <cstdint>

// Which of its two pictures a picture button shows: its own from `Off` or its own from `onn`.
enum class ButtonPicture { Normal, Highlighted };

// The keys the main window answers, whatever the toolkit calls them: Tab, the right and down
// arrows go to the next picture button, Shift+Tab, the left and up arrows to the one before, and
// Enter and Space press the highlighted one.
enum class MainWindowKey { Next, Previous, Press };

// What the main window's routines ask of the window on the screen.
class MainWindowView
{
public:
    virtual ~MainWindowView() = default;

    // Gives `Buttonn`(index) the picture of `Off`(index) or of `onn`(index).
    virtual void showButtonPicture(std::int16_t index, ButtonPicture picture) = 0;
    // Loads the install dialog and shows it modally; returns once the player has closed it.
    virtual void showInstallDialog() = 0;
    // Closes every window at once and ends the program.
    virtual void endProgram() = 0;
};
