#pragma once

#include <QAccessibleWidget>

// What screen readers learn of a picture button: a push button with its label for a name, which
// their press action clicks, and which has the keyboard's attention while it is highlighted in
// the focused window.
class PictureButtonAccessible final : public QAccessibleWidget
{
public:
    explicit PictureButtonAccessible(QWidget *pictureButton);

    // Makes every picture area that acts as a button known to screen readers as one.
    static void install();

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
};
