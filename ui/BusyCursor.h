#pragma once

#include <QGuiApplication>

// Shows the busy cursor for as long as the engine works on the game folder. Message boxes must
// come after it is gone, or the player would be asked a question under an hourglass.
class BusyCursor final
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }

    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
