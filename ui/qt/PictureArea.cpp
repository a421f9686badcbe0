#include "PictureArea.h"

#include <QMouseEvent>
#include <QPainter>

// A plain widget that paints its picture rather than a label: a label's text machinery is of no
// use here and slowed the main window's start.
PictureArea::PictureArea(const QPixmap &picture, const QRect &geometry, Kind kind, QWidget *parent)
    : QWidget(parent), m_picture(picture), m_kind(kind)
{
    setGeometry(geometry);
    setMouseTracking(true);
    // The picture covers the whole area, so nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureArea::setPixmap(const QPixmap &picture, ButtonPicture look)
{
    m_picture = picture;
    m_look = look;
    update();
}

void PictureArea::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, m_picture);
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
