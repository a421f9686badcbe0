#include "IconArt.h"

#include "ArtColours.h"
#include "GlossyDisc.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

const QString letter = QStringLiteral("B");

// The ring must stay at least a pixel wide, or it vanishes at the smallest size.
qreal ringWidth(int size)
{
    return std::max(1.0, size / 14.0);
}

QImage blankCanvas(int size)
{
    QImage canvas(size, size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    return canvas;
}

} // namespace

IconArt::IconArt(QFont letterFont) : m_letterFont(std::move(letterFont))
{}

QImage IconArt::render(int size) const
{
    QImage canvas = blankCanvas(size);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = size / 2.0;
    GlossyDisc(QPointF(radius, radius), radius, ringWidth(size)).paint(painter);
    paintLetter(painter, size, ArtColours::white);
    painter.end();
    return canvas;
}

QImage IconArt::renderFlat(int size) const
{
    QImage canvas = blankCanvas(size);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    paintFlatRing(painter, size);
    paintFlatBody(painter, size);
    if (size >= 32)
        paintLetter(painter, size, ArtColours::darkRed, QPointF(1, 1));
    paintLetter(painter, size, ArtColours::white);
    painter.end();
    return canvas;
}

QImage IconArt::renderMonochrome(int size) const
{
    QImage canvas = blankCanvas(size);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal radius = size / 2.0;
    const QPointF centre(radius, radius);
    painter.setBrush(ArtColours::white);
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(ArtColours::surround);
    painter.drawEllipse(centre, radius - ringWidth(size), radius - ringWidth(size));
    paintLetter(painter, size, ArtColours::white);
    painter.end();
    return canvas;
}

void IconArt::paintFlatRing(QPainter &painter, int size) const
{
    painter.setBrush(ArtColours::white);
    const qreal radius = size / 2.0;
    painter.drawEllipse(QPointF(radius, radius), radius, radius);
}

void IconArt::paintFlatBody(QPainter &painter, int size) const
{
    // A dark red crescent on the lower right stands in for the glossy disc's shading.
    const qreal radius = size / 2.0 - ringWidth(size);
    const QPointF centre(size / 2.0, size / 2.0);
    QPainterPath body;
    body.addEllipse(centre, radius, radius);
    painter.setClipPath(body);
    painter.fillPath(body, ArtColours::darkRed);
    const qreal shift = std::max(1.0, size / 16.0);
    painter.setBrush(ArtColours::brightRed);
    painter.drawEllipse(centre - QPointF(shift, shift), radius, radius);
    painter.setClipping(false);
}

void IconArt::paintLetter(QPainter &painter, int size, QColor colour, QPointF offset) const
{
    QFont font = m_letterFont;
    font.setPixelSize(qRound(size * 0.66));
    QPainterPath path;
    path.addText(QPointF(0, 0), font, letter);
    // Whole-pixel placement keeps the stems sharp at small sizes.
    const QPointF shift = QPointF(size / 2.0, size / 2.0) - path.boundingRect().center() + offset;
    path.translate(QPointF(qRound(shift.x()), qRound(shift.y())));
    painter.fillPath(path, colour);
}
