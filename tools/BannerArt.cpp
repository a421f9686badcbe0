#include "BannerArt.h"

#include "ArtColours.h"
#include "PillShape.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

// The outline is drawn centred on the bar's edge, so the bar is inset by half its width to keep
// the whole outline inside the picture.
constexpr qreal outlineWidth = 2.0;
const QRectF barBounds(2.0, 3.0, 254.0, 55.0);
constexpr qreal versionGap = 3.0;
const QPointF shadowOffset(1.5, 1.5);

} // namespace

BannerArt::BannerArt(QString name, QString version, QFont nameFont, QFont versionFont)
    : m_name(std::move(name)), m_version(std::move(version)), m_nameFont(std::move(nameFont)),
      m_versionFont(std::move(versionFont))
{}

QImage BannerArt::render(int scale) const
{
    QImage canvas(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(ArtColours::surround);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    paintBar(painter);
    paintTitle(painter);
    painter.end();
    return canvas.convertToFormat(QImage::Format_RGB888);
}

void BannerArt::paintBar(QPainter &painter) const
{
    painter.setPen(QPen(ArtColours::white, outlineWidth));
    painter.setBrush(ArtColours::brightRed);
    painter.drawPath(pillShape(barBounds));
}

void BannerArt::paintTitle(QPainter &painter) const
{
    const QFontMetricsF nameMetrics(m_nameFont);
    const QFontMetricsF versionMetrics(m_versionFont);
    const qreal nameWidth = nameMetrics.horizontalAdvance(m_name);
    const qreal titleWidth =
        nameWidth + versionGap + versionMetrics.tightBoundingRect(m_version).width();

    // The name's capitals sit in the middle of the bar; the version's top lines up with theirs.
    const qreal left = barBounds.center().x() - titleWidth / 2;
    const qreal baseline = barBounds.center().y() + nameMetrics.capHeight() / 2;
    const qreal raisedBaseline = baseline - nameMetrics.capHeight() + versionMetrics.capHeight();

    QPainterPath title;
    title.addText(QPointF(left, baseline), m_nameFont, m_name);
    title.addText(QPointF(left + nameWidth + versionGap, raisedBaseline), m_versionFont, m_version);
    // A dark red shadow lifts the white lettering off the bright bar.
    painter.fillPath(title.translated(shadowOffset), QColor(150, 0, 0));
    painter.fillPath(title, ArtColours::white);
}
