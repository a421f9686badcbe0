#include "Artwork.h"

#include <QFile>
#include <QtEndian>

namespace {

// A file header of 14 bytes, then an information header of 40, little-endian.
constexpr qsizetype HeadersSize = 54;

template <typename Field> Field fieldAt(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<Field>(bytes.constData() + offset);
}

} // namespace

QPixmap Artwork::picture(const QString &resourceName, qreal devicePixelRatio)
{
    const QString path = QStringLiteral(":/artwork/") + resourceName;
    if (devicePixelRatio <= 1)
        return picture(qPrintable(path + QStringLiteral(".bmp")));
    QPixmap twice = picture(qPrintable(path + QStringLiteral("_2x.bmp")));
    if (devicePixelRatio < 2)
        twice = twice.scaled(twice.size() * devicePixelRatio / 2, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    twice.setDevicePixelRatio(devicePixelRatio);
    return twice;
}

QPixmap Artwork::picture(const char *resourcePath)
{
    QFile file(QString::fromLatin1(resourcePath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (bytes.size() < HeadersSize || !bytes.startsWith("BM"))
        return {};
    const auto pixelsOffset = fieldAt<quint32>(bytes, 10);
    const auto width = fieldAt<qint32>(bytes, 18);
    const auto height = fieldAt<qint32>(bytes, 22);
    const bool uncompressed24Bit =
        fieldAt<quint16>(bytes, 28) == 24 && fieldAt<quint32>(bytes, 30) == 0;
    // Each row of blue, green and red bytes is padded to a multiple of four bytes.
    const qsizetype stride = (qsizetype(width) * 3 + 3) & ~qsizetype(3);
    const qsizetype rows = qAbs(qsizetype(height));
    if (!uncompressed24Bit || width <= 0 || rows == 0 || pixelsOffset < HeadersSize ||
        pixelsOffset + stride * rows > bytes.size())
        return {};
    const QImage image(reinterpret_cast<const uchar *>(bytes.constData()) + pixelsOffset, width,
                       int(rows), stride, QImage::Format_BGR888);
    // The rows run from the bottom up, unless the height is negative; either way the pixmap
    // gets pixels of its own, as the bytes go with the file.
    return QPixmap::fromImage(height > 0 ? image.mirrored() : image.copy());
}
