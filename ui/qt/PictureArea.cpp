#include "PictureArea.h"

#include <QMouseEvent>

PictureArea::PictureArea(const QPixmap &picture, const QRect &geometry, QWidget *parent)
    : QLabel(parent)
{
    setGeometry(geometry);
    setPixmap(picture);
    setMouseTracking(true);
}

void PictureArea::mouseMoveEvent(QMouseEvent *event)
{
    // An ignored move would travel on to the window, which takes it for a move over its
    // background.
    event->accept();
    emit mouseMoved();
}

void PictureArea::mousePressEvent(QMouseEvent *event)
{
    // Accepting the press makes this area the receiver of the matching release.
    event->accept();
}

void PictureArea::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
