#include "IcoEncoder.h"

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

void IcoEncoder::add(IconImage image)
{
    m_images.append(std::move(image));
}

QByteArray IcoEncoder::encode() const
{
    QList<QByteArray> bodies;
    for (const IconImage &image : m_images)
        bodies.append(encodeImage(image));

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << iconResourceType << quint16(m_images.size());
    quint32 offset = directoryHeaderSize + directoryEntrySize * m_images.size();
    for (qsizetype i = 0; i < m_images.size(); ++i) {
        const IconImage &image = m_images.at(i);
        // A width or height of 256 would be stored as 0; icons here are far smaller.
        out << quint8(image.indexes.width()) << quint8(image.indexes.height())
            << quint8(image.indexes.colorCount()) << quint8(0) << quint16(1)
            << quint16(bitsPerPixel(image)) << quint32(bodies.at(i).size()) << offset;
        offset += bodies.at(i).size();
    }
    for (const QByteArray &body : bodies)
        file.append(body);
    return file;
}

QByteArray IcoEncoder::encodeImage(const IconImage &image)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    writeHeader(out, image);
    writeColours(out, image);
    writeIndexes(out, image);
    writeMask(out, image);
    return body;
}

void IcoEncoder::writeHeader(QDataStream &out, const IconImage &image)
{
    const int width = image.indexes.width();
    const int height = image.indexes.height();
    const quint32 pixelBytes = rowBytes(width, bitsPerPixel(image)) * height;
    const quint32 maskBytes = rowBytes(width, 1) * height;
    // The height counts the colour rows and the mask rows together.
    out << bitmapHeaderSize << qint32(width) << qint32(2 * height) << quint16(1)
        << quint16(bitsPerPixel(image)) << quint32(0) << quint32(pixelBytes + maskBytes)
        << qint32(0) << qint32(0) << quint32(0) << quint32(0);
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

void IcoEncoder::writeMask(QDataStream &out, const IconImage &image)
{
    // Built bit by bit rather than copied from the image, whose row padding is left undefined.
    const QImage &mask = image.transparency;
    for (int y = mask.height() - 1; y >= 0; --y) {
        QByteArray row(rowBytes(mask.width(), 1), '\0');
        for (int x = 0; x < mask.width(); ++x)
            row[x / 8] = char(row[x / 8] | (mask.pixelIndex(x, y) << (7 - x % 8)));
        out.writeRawData(row.constData(), row.size());
    }
}
