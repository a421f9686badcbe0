#pragma once

#include <QPainterPath>
#include <QRectF>

// A bar whose two ends are half circles, the shape shared by the buttons and the banner.
inline QPainterPath pillShape(const QRectF &bounds)
{
    const qreal radius = bounds.height() / 2;
    QPainterPath path;
    path.addRoundedRect(bounds, radius, radius);
    return path;
}
