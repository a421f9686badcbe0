#include "TextHalo.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <vector>

namespace {

// Three passes of a box blur come close enough to a Gaussian for a glow this small.
constexpr int blurPasses = 3;

// The letters are widened by a pixel on every side before the blur, so the glow stays dense
// right at their edges.
constexpr qreal spreadWidth = 2.0;

// The blur thins the glow out; this brings back a solid core close to the letters.
constexpr int glowStrength = 3;

void boxBlurLine(uchar *first, int count, std::ptrdiff_t stride, int radius)
{
    std::vector<int> line(count);
    for (int i = 0; i < count; ++i)
        line[i] = first[i * stride];
    const int window = 2 * radius + 1;
    for (int i = 0; i < count; ++i) {
        int sum = 0;
        for (int k = i - radius; k <= i + radius; ++k)
            sum += (k >= 0 && k < count) ? line[k] : 0;
        first[i * stride] = static_cast<uchar>(sum / window);
    }
}

} // namespace

TextHalo::TextHalo(QColor colour, int radius) : m_colour(colour), m_radius(radius)
{}

void TextHalo::paint(QPainter &painter, const QPainterPath &lettering) const
{
    const QSize canvas(painter.device()->width(), painter.device()->height());
    // The glow is made in the picture's own pixels, however the painter is scaled.
    const qreal scale = painter.transform().m11();
    QImage mask = spread(painter.transform().map(lettering), canvas, scale);
    blur(mask, qRound(m_radius * scale));

    QImage glow(canvas, QImage::Format_ARGB32_Premultiplied);
    glow.fill(m_colour);
    QPainter tint(&glow);
    tint.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    tint.drawImage(0, 0, mask);
    tint.end();
    painter.save();
    painter.resetTransform();
    painter.drawImage(0, 0, glow);
    painter.restore();
}

QImage TextHalo::spread(const QPainterPath &lettering, QSize canvas, qreal scale) const
{
    QImage mask(canvas, QImage::Format_Alpha8);
    mask.fill(Qt::transparent);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(
        QPen(Qt::black, spreadWidth * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::black);
    painter.drawPath(lettering);
    return mask;
}

void TextHalo::blur(QImage &mask, int radius) const
{
    for (int pass = 0; pass < blurPasses; ++pass) {
        for (int y = 0; y < mask.height(); ++y)
            boxBlurLine(mask.scanLine(y), mask.width(), 1, radius);
        for (int x = 0; x < mask.width(); ++x)
            boxBlurLine(mask.bits() + x, mask.height(), mask.bytesPerLine(), radius);
    }
    for (int y = 0; y < mask.height(); ++y) {
        uchar *line = mask.scanLine(y);
        for (int x = 0; x < mask.width(); ++x)
            line[x] = static_cast<uchar>(std::min(255, line[x] * glowStrength));
    }
}
