#pragma once

#include "runtime/MessageBox.h"

// Windows' own message box, modal over the window that has the input.
class Win32MessageBox final : public MessageBox
{
public:
    int show(const std::string &prompt, int style, const std::string &title) override;
};
