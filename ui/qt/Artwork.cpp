#include "Artwork.h"

#include <QImageReader>

QPixmap Artwork::picture(const char *resourcePath)
{
    QImageReader reader(QString::fromLatin1(resourcePath), "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
