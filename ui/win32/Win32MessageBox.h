#pragma once

#include "runtime/MessageBox.h"

// Windows' own message box, modal over the window that has the input.
class Win32MessageBox final : public MessageBox
{
public:
    MessageBoxAnswer show(const std::string &prompt, MessageBoxButtons buttons, MessageBoxIcon icon,
                          const std::string &title) override;
};
