#include "WindowAccessible.h"

#include <QDialog>

namespace {

const char *const BusyProperty = "bexomBusy";

QAccessibleInterface *windowFactory(const QString &, QObject *object)
{
    auto *window = qobject_cast<QWidget *>(object);
    if (!window || !window->isWindow() || !window->property(BusyProperty).isValid())
        return nullptr;
    const bool dialog = qobject_cast<QDialog *>(window) != nullptr;
    return new WindowAccessible(window, dialog ? QAccessible::Dialog : QAccessible::Window);
}

} // namespace

WindowAccessible::WindowAccessible(QWidget *window, QAccessible::Role role)
    : QAccessibleWidget(window, role)
{}

void WindowAccessible::install()
{
    QAccessible::installFactory(windowFactory);
}

void WindowAccessible::track(QWidget *window)
{
    window->setProperty(BusyProperty, false);
}

void WindowAccessible::setBusy(QWidget *window, bool busy)
{
    if (!window->property(BusyProperty).isValid())
        return;
    window->setProperty(BusyProperty, busy);
    QAccessible::State changed;
    changed.busy = true;
    QAccessibleStateChangeEvent event(window, changed);
    QAccessible::updateAccessibility(&event);
}

QAccessible::State WindowAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.busy = widget()->property(BusyProperty).toBool();
    return state;
}
