#pragma once

#include "runtime/BusyIndicator.h"

#include <QGuiApplication>

// The busy sign of the Qt windows: the wait cursor over every window of the program.
class QtBusyIndicator final : public BusyIndicator
{
public:
    void begin() override { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    void end() override { QGuiApplication::restoreOverrideCursor(); }
};
