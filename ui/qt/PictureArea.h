#pragma once

#include <QPixmap>
#include <QWidget>

// A picture shown at its own size that reports the mouse moving over it and clicks on it.
// It takes every mouse event over it, so none of them reaches the window behind it.
class PictureArea final : public QWidget
{
    Q_OBJECT

public:
    PictureArea(const QPixmap &picture, const QRect &geometry, QWidget *parent);

    const QPixmap &pixmap() const { return m_picture; }
    void setPixmap(const QPixmap &picture);

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
};
