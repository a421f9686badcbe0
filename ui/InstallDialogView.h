#pragma once

#include <string>

// What the install request reads and writes of the install dialog on the screen.
class InstallDialogView
{
public:
    virtual ~InstallDialogView() = default;

    // The text of `Text1`, the game directory.
    virtual std::string directoryText() const = 0;
    virtual void setDirectoryText(const std::string &text) = 0;
    // Whether `Option1`, Counterstrike, is selected; `Option2` is never read.
    virtual bool counterstrikeSelected() const = 0;
};
