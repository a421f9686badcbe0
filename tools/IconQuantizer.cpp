#include "IconQuantizer.h"

#include <limits>

namespace {

// Pixels less than half covered belong to the background.
constexpr int opaqueFrom = 128;

int distance(QRgb a, QRgb b)
{
    const int red = qRed(a) - qRed(b);
    const int green = qGreen(a) - qGreen(b);
    const int blue = qBlue(a) - qBlue(b);
    return red * red + green * green + blue * blue;
}

} // namespace

IconQuantizer::IconQuantizer(QList<QRgb> palette, QList<int> usable)
    : m_palette(std::move(palette)), m_usable(std::move(usable))
{}

IconImage IconQuantizer::quantize(const QImage &picture) const
{
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    IconImage icon{QImage(source.size(), QImage::Format_Indexed8),
                   QImage(source.size(), QImage::Format_Mono)};
    icon.indexes.setColorTable(m_palette);
    icon.transparency.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < source.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const bool opaque = qAlpha(line[x]) >= opaqueFrom;
            // Palette entry 0 is black, which leaves the screen untouched under a set mask bit.
            icon.indexes.setPixel(x, y, opaque ? nearest(line[x]) : 0);
            icon.transparency.setPixel(x, y, opaque ? 0 : 1);
        }
    }
    return icon;
}

int IconQuantizer::nearest(QRgb colour) const
{
    int best = m_usable.first();
    int bestDistance = std::numeric_limits<int>::max();
    for (int index : m_usable) {
        const int d = distance(colour, m_palette.at(index));
        if (d < bestDistance) {
            best = index;
            bestDistance = d;
        }
    }
    return best;
}
