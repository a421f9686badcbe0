#pragma once

#include "runtime/BusyIndicator.h"

#include <QCursor>
#include <QGuiApplication>

// The busy sign of the Qt windows: the wait cursor over every window of the program, disabled,
// and the status line. The work runs on a thread of its own while the windows keep painting and
// drop the player's input.
class QtBusyIndicator final : public BusyIndicator
{
public:
    void begin() override { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    void end() override { QGuiApplication::restoreOverrideCursor(); }

    ErrorOr<void> runWhileBusy(const std::string &status, const Work &work) override;
};
