#pragma once

#include <QAccessibleWidget>

// What screen readers learn of the program's two windows: as Qt tells them, and besides, that the
// window is busy while the installation or the removal runs in it.
class WindowAccessible final : public QAccessibleWidget
{
public:
    WindowAccessible(QWidget *window, QAccessible::Role role);

    static void install();
    // Makes the window known to screen readers through this, not busy.
    static void track(QWidget *window);
    // Marks a window so made known busy or not, and tells screen readers; another is left alone.
    static void setBusy(QWidget *window, bool busy);

    QAccessible::State state() const override;
};
