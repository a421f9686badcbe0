#pragma once

#include "ui/MainWindowView.h"

#include <QPixmap>
#include <QWidget>

// A picture shown at its own size that reports the mouse moving over it and clicks on it.
// It takes every mouse event over it, so none of them reaches the window behind it.
class PictureArea final : public QWidget
{
    Q_OBJECT

public:
    // A picture button takes clicks and has a highlighted look; a plain picture only shows.
    enum class Kind { Picture, Button };

    PictureArea(const QPixmap &picture, const QRect &geometry, Kind kind, QWidget *parent);

    bool isButton() const { return m_kind == Kind::Button; }
    const QPixmap &pixmap() const { return m_picture; }
    // Which look the picture is goes with it, for screen readers.
    void setPixmap(const QPixmap &picture, ButtonPicture look = ButtonPicture::Normal);
    bool isHighlighted() const { return m_look == ButtonPicture::Highlighted; }

signals:
    void mouseMoved();
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    Kind m_kind;
    ButtonPicture m_look = ButtonPicture::Normal;
};
