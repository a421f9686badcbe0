#pragma once

#include "runtime/MessageBox.h"

// A modal QMessageBox with the style's icon and buttons.
class QtMessageBox final : public MessageBox
{
public:
    int show(const QString &prompt, int style, const QString &title) override;
};
