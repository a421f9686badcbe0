#include "ButtonArt.h"

#include "ArtColours.h"
#include "GlossyDisc.h"
#include "PillShape.h"
#include "TextHalo.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

// The jewel fills the height of the picture; the bar is narrower and runs from under the
// jewel to the right edge, so the jewel looks set onto the bar's end.
const QPointF discCentre(31.0, 30.5);
constexpr qreal discRadius = 28.0;
constexpr qreal discRing = 3.0;
const QRectF barBounds(14.0, 10.0, 241.0, 41.0);
constexpr qreal labelLeft = 72.0;
constexpr int haloRadius = 2;

} // namespace

ButtonArt::ButtonArt(QFont labelFont) : m_labelFont(std::move(labelFont))
{}

QImage ButtonArt::render(const QString &label, ButtonLook look, int scale) const
{
    QImage canvas(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(ArtColours::surround);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    paintBar(painter, look);
    GlossyDisc(discCentre, discRadius, discRing).paint(painter);
    paintLabel(painter, label, look);
    painter.end();
    return canvas.convertToFormat(QImage::Format_RGB888);
}

void ButtonArt::paintBar(QPainter &painter, ButtonLook look) const
{
    const QColor fill =
        look == ButtonLook::Highlighted ? ArtColours::brightRed : ArtColours::darkRed;
    painter.fillPath(pillShape(barBounds), fill);
}

void ButtonArt::paintLabel(QPainter &painter, const QString &label, ButtonLook look) const
{
    const QPainterPath text = lettering(label);
    if (look == ButtonLook::Normal) {
        painter.fillPath(text, ArtColours::white);
        return;
    }
    TextHalo(ArtColours::palePink, haloRadius).paint(painter, text);
    painter.fillPath(text, ArtColours::darkRed);
}

QPainterPath ButtonArt::lettering(const QString &label) const
{
    // Centring the capitals rather than the font's full height keeps labels without descenders
    // visually in the middle of the bar.
    const QFontMetricsF metrics(m_labelFont);
    const qreal baseline = barBounds.center().y() + metrics.capHeight() / 2;
    QPainterPath path;
    path.addText(QPointF(labelLeft, baseline), m_labelFont, label);
    return path;
}
