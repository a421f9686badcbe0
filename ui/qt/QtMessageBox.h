#pragma once

#include "runtime/MessageBox.h"

// A modal QMessageBox with the icon and buttons asked for.
class QtMessageBox final : public MessageBox
{
public:
    MessageBoxAnswer show(const std::string &prompt, MessageBoxButtons buttons, MessageBoxIcon icon,
                          const std::string &title) override;
};
