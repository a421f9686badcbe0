#include "PictureButtonAccessible.h"

#include "PictureArea.h"

namespace {

QAccessibleInterface *pictureButtonFactory(const QString &, QObject *object)
{
    auto *area = qobject_cast<PictureArea *>(object);
    if (!area || !area->isButton())
        return nullptr;
    return new PictureButtonAccessible(area);
}

} // namespace

PictureButtonAccessible::PictureButtonAccessible(QWidget *pictureButton)
    : QAccessibleWidget(pictureButton, QAccessible::Button)
{}

void PictureButtonAccessible::install()
{
    QAccessible::installFactory(pictureButtonFactory);
}

QAccessible::State PictureButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const auto *area = static_cast<const PictureArea *>(widget());
    state.focusable = true;
    state.focused = area->isHighlighted() && area->parentWidget()->hasFocus();
    return state;
}

QStringList PictureButtonAccessible::actionNames() const
{
    return {pressAction()};
}

void PictureButtonAccessible::doAction(const QString &actionName)
{
    // A disabled button, as every button is while the program works, presses nothing: a screen
    // reader's Press would otherwise start a second request beside the one that runs.
    if (actionName == pressAction() && widget()->isEnabled())
        emit static_cast<PictureArea *>(widget())->clicked();
}
