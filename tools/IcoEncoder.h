#pragma once

#include "IconImage.h"

#include <QByteArray>
#include <QList>

class QDataStream;

// Writes the Windows icon file format with paletted images and transparency masks, the form that
// two- and sixteen-colour displays need. Qt's own ICO writer stores full-colour images only.
class IcoEncoder final
{
public:
    void add(IconImage image);

    QByteArray encode() const;

private:
    static QByteArray encodeImage(const IconImage &image);
    static void writeHeader(QDataStream &out, const IconImage &image);
    static void writeColours(QDataStream &out, const IconImage &image);
    static void writeIndexes(QDataStream &out, const IconImage &image);
    static void writeMask(QDataStream &out, const IconImage &image);

    QList<IconImage> m_images;
};
