#include "IcoEncoder.h"

#include <QBuffer>
#include <QDataStream>
#include <QIODevice>

#include <bit>

namespace {

constexpr quint16 iconResourceType = 1;
constexpr quint32 bitmapHeaderSize = 40;
constexpr quint32 directoryHeaderSize = 6;
constexpr quint32 directoryEntrySize = 16;

// Bitmap rows are stored bottom-up and padded to a whole number of 32-bit words.
int rowBytes(int width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

int bitsPerPixel(const IconImage &image)
{
    return std::bit_width(static_cast<unsigned>(image.indexes.colorCount() - 1));
}

} // namespace

void IcoEncoder::add(const IconImage &image)
{
    m_entries.append({image.indexes.width(), image.indexes.height(),
                      int(image.indexes.colorCount()), bitsPerPixel(image), encodeImage(image)});
}

void IcoEncoder::addFullColour(const QImage &image)
{
    constexpr int PngFrom = 256;
    QByteArray body;
    if (image.width() >= PngFrom) {
        QBuffer buffer(&body);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    } else {
        body = encodeFullColour(image);
    }
    m_entries.append({image.width(), image.height(), 0, 32, body});
}

QByteArray IcoEncoder::encode() const
{
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << iconResourceType << quint16(m_entries.size());
    quint32 offset = directoryHeaderSize + directoryEntrySize * m_entries.size();
    for (const Entry &entry : m_entries) {
        // A width or height of 256 is stored as 0, which the byte wraps it to.
        out << quint8(entry.width) << quint8(entry.height) << quint8(entry.colours) << quint8(0)
            << quint16(1) << quint16(entry.bitsPerPixel) << quint32(entry.body.size()) << offset;
        offset += entry.body.size();
    }
    for (const Entry &entry : m_entries)
        file.append(entry.body);
    return file;
}

QByteArray IcoEncoder::encodeImage(const IconImage &image)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    writeHeader(out, image.indexes.width(), image.indexes.height(), bitsPerPixel(image));
    writeColours(out, image);
    writeIndexes(out, image);
    writeMask(out, image.transparency);
    return body;
}

QByteArray IcoEncoder::encodeFullColour(const QImage &image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    writeHeader(out, pixels.width(), pixels.height(), 32);
    for (int y = pixels.height() - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            out << quint8(qBlue(row[x])) << quint8(qGreen(row[x])) << quint8(qRed(row[x]))
                << quint8(qAlpha(row[x]));
    }
    // The alpha channel decides; the mask still marks the clear pixels for older readers.
    QImage mask(pixels.size(), QImage::Format_Mono);
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            mask.setPixel(x, y, qAlpha(pixels.pixel(x, y)) == 0 ? 1 : 0);
    writeMask(out, mask);
    return body;
}

void IcoEncoder::writeHeader(QDataStream &out, int width, int height, int bits)
{
    const quint32 pixelBytes = rowBytes(width, bits) * height;
    const quint32 maskBytes = rowBytes(width, 1) * height;
    // The height counts the colour rows and the mask rows together.
    out << bitmapHeaderSize << qint32(width) << qint32(2 * height) << quint16(1) << quint16(bits)
        << quint32(0) << quint32(pixelBytes + maskBytes) << qint32(0) << qint32(0) << quint32(0)
        << quint32(0);
}

void IcoEncoder::writeColours(QDataStream &out, const IconImage &image)
{
    for (QRgb colour : image.indexes.colorTable())
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);
}

void IcoEncoder::writeIndexes(QDataStream &out, const IconImage &image)
{
    const int bits = bitsPerPixel(image);
    const int width = image.indexes.width();
    for (int y = image.indexes.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes(width, bits), '\0');
        const uchar *indexes = image.indexes.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            const int bitOffset = x * bits;
            const int shift = 8 - bits - bitOffset % 8;
            row[bitOffset / 8] = char(row[bitOffset / 8] | (indexes[x] << shift));
        }
        out.writeRawData(row.constData(), row.size());
    }
}

void IcoEncoder::writeMask(QDataStream &out, const QImage &mask)
{
    // Built bit by bit rather than copied from the image, whose row padding is left undefined.
    for (int y = mask.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes(mask.width(), 1), '\0');
        for (int x = 0; x < mask.width(); ++x)
            row[x / 8] = char(row[x / 8] | (mask.pixelIndex(x, y) << (7 - x % 8)));
        out.writeRawData(row.constData(), row.size());
    }
}
