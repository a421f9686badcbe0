#pragma once

#include "IconImage.h"

#include <QByteArray>
#include <QList>

class QDataStream;

// Writes the Windows icon file format with paletted images and transparency masks, the form that
// two- and sixteen-colour displays need, beside full-colour images for today's desktops. Qt's
// own ICO writer stores full-colour images only.
class IcoEncoder final
{
public:
    void add(const IconImage &image);
    // A full-colour image with its alpha channel: 32 bits a pixel, or PNG from 256 pixels up, as
    // Windows stores its own large icons.
    void addFullColour(const QImage &image);

    QByteArray encode() const;

private:
    struct Entry
    {
        int width;
        int height;
        int colours; // 0 for full colour
        int bitsPerPixel;
        QByteArray body;
    };

    static QByteArray encodeImage(const IconImage &image);
    static QByteArray encodeFullColour(const QImage &image);
    static void writeHeader(QDataStream &out, int width, int height, int bits);
    static void writeColours(QDataStream &out, const IconImage &image);
    static void writeIndexes(QDataStream &out, const IconImage &image);
    static void writeMask(QDataStream &out, const QImage &mask);

    QList<Entry> m_entries;
};
