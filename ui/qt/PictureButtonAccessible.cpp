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
    if (actionName == pressAction())
        emit static_cast<PictureArea *>(widget())->clicked();
}
