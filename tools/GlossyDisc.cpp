#include "GlossyDisc.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

GlossyDisc::GlossyDisc(QPointF centre, qreal outerRadius, qreal ringWidth)
    : m_centre(centre), m_outerRadius(outerRadius), m_ringWidth(ringWidth)
{}

void GlossyDisc::paint(QPainter &painter) const
{
    painter.save();
    painter.setPen(Qt::NoPen);
    paintRing(painter);
    paintBody(painter);
    paintGloss(painter);
    painter.restore();
}

void GlossyDisc::paintRing(QPainter &painter) const
{
    // A faint fall-off towards the bottom makes the ring read as polished metal, not a flat line.
    QLinearGradient shade(m_centre.x(), m_centre.y() - m_outerRadius, m_centre.x(),
                          m_centre.y() + m_outerRadius);
    shade.setColorAt(0.0, QColor(255, 255, 255));
    shade.setColorAt(0.6, QColor(240, 240, 240));
    shade.setColorAt(1.0, QColor(196, 196, 196));
    painter.setBrush(shade);
    painter.drawEllipse(m_centre, m_outerRadius, m_outerRadius);
}

void GlossyDisc::paintBody(QPainter &painter) const
{
    const qreal radius = m_outerRadius - m_ringWidth;
    const QPointF light(m_centre.x() - radius * 0.3, m_centre.y() - radius * 0.35);
    QRadialGradient body(m_centre, radius, light);
    body.setColorAt(0.0, QColor(255, 120, 110));
    body.setColorAt(0.35, QColor(255, 16, 8));
    body.setColorAt(0.8, QColor(205, 0, 0));
    body.setColorAt(1.0, QColor(120, 0, 0));
    painter.setBrush(body);
    painter.drawEllipse(m_centre, radius, radius);
}

void GlossyDisc::paintGloss(QPainter &painter) const
{
    const qreal radius = m_outerRadius - m_ringWidth;
    const QRectF gloss(m_centre.x() - radius * 0.72, m_centre.y() - radius * 0.9, radius * 1.44,
                       radius * 0.95);
    QLinearGradient fade(gloss.topLeft(), gloss.bottomLeft());
    fade.setColorAt(0.0, QColor(255, 255, 255, 215));
    fade.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setBrush(fade);
    painter.drawEllipse(gloss);
}
