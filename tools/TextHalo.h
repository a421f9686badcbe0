#pragma once

#include <QColor>
#include <QSize>

class QPainter;
class QPainterPath;
class QImage;

// A soft glow of one colour around lettering, so that dark letters stay legible on a bright
// bar. The glow is the lettering's own shape, widened and blurred; the radius is the blur's.
class TextHalo final
{
public:
    TextHalo(QColor colour, int radius);

    void paint(QPainter &painter, const QPainterPath &lettering) const;

private:
    QImage spread(const QPainterPath &lettering, QSize canvas, qreal scale) const;
    void blur(QImage &mask, int radius) const;

    QColor m_colour;
    int m_radius;
};
