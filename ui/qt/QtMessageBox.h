#pragma once

#include "runtime/MessageBox.h"

// A modal QMessageBox with the style's icon and buttons.
class QtMessageBox final : public MessageBox
{
public:
    int show(const std::string &prompt, int style, const std::string &title) override;
};
