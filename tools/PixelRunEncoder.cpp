#include "PixelRunEncoder.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

using Pixel = std::array<char, 3>;

enum class RunKind : unsigned char {
    Literal = 0,
    Repeat = 1,
    RowAbove = 2,
};

constexpr qsizetype LongestRun = 64;

std::vector<Pixel> bottomUpPixels(const QImage &picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::vector<Pixel> pixels;
    pixels.reserve(static_cast<std::size_t>(rgb.width()) * rgb.height());
    for (int y = rgb.height() - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const char *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            pixels.push_back({row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return pixels;
}

// How many pixels from start on, up to the longest run, equal the pixel offset places before.
qsizetype matchingRun(const std::vector<Pixel> &pixels, qsizetype start, qsizetype offset)
{
    const auto size = static_cast<qsizetype>(pixels.size());
    qsizetype length = 0;
    while (start + length < size && length < LongestRun &&
           pixels[start + length] == pixels[start + length - offset])
        ++length;
    return length;
}

void appendRun(QByteArray &stored, RunKind kind, qsizetype length)
{
    stored.append(static_cast<char>((static_cast<int>(kind) << 6) | (length - 1)));
}

void appendPixel(QByteArray &stored, const Pixel &pixel)
{
    stored.append(pixel.data(), 3);
}

} // namespace

QByteArray PixelRunEncoder::encode(const QImage &picture)
{
    const std::vector<Pixel> pixels = bottomUpPixels(picture);
    const auto size = static_cast<qsizetype>(pixels.size());
    const qsizetype width = picture.width();
    QByteArray stored;
    for (int dimension : {picture.width(), picture.height()}) {
        stored.append(static_cast<char>(dimension & 0xff));
        stored.append(static_cast<char>(dimension >> 8));
    }
    std::vector<Pixel> literal;
    const auto flushLiteral = [&] {
        if (literal.empty())
            return;
        appendRun(stored, RunKind::Literal, static_cast<qsizetype>(literal.size()));
        for (const Pixel &pixel : literal)
            appendPixel(stored, pixel);
        literal.clear();
    };
    for (qsizetype i = 0; i < size;) {
        const qsizetype rowAbove = i >= width ? matchingRun(pixels, i, width) : 0;
        const qsizetype repeat = 1 + (i + 1 < size ? matchingRun(pixels, i + 1, 1) : 0);
        // A run of the row above costs one byte, a repeat four, a literal pixel three.
        if (rowAbove > 0 && rowAbove >= repeat) {
            flushLiteral();
            appendRun(stored, RunKind::RowAbove, rowAbove);
            i += rowAbove;
        } else if (repeat >= 2) {
            flushLiteral();
            const qsizetype length = std::min(repeat, LongestRun);
            appendRun(stored, RunKind::Repeat, length);
            appendPixel(stored, pixels[i]);
            i += length;
        } else {
            literal.push_back(pixels[i++]);
            if (static_cast<qsizetype>(literal.size()) == LongestRun)
                flushLiteral();
        }
    }
    flushLiteral();
    return stored;
}
