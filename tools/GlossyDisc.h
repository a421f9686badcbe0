#pragma once

#include <QPointF>

class QPainter;

// The red jewel at the left end of every button, also the program's icon: a bright red disc
// lit from the upper left, with a glassy highlight, set in a white ring.
class GlossyDisc final
{
public:
    GlossyDisc(QPointF centre, qreal outerRadius, qreal ringWidth);

    void paint(QPainter &painter) const;

private:
    void paintRing(QPainter &painter) const;
    void paintBody(QPainter &painter) const;
    void paintGloss(QPainter &painter) const;

    QPointF m_centre;
    qreal m_outerRadius;
    qreal m_ringWidth;
};
