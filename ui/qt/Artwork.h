#pragma once

#include <QPixmap>

// The pictures compiled into the program.
class Artwork final
{
public:
    // One of the main window's pictures: the very 24-bit BMP that the Windows program carries,
    // laid out for Qt directly. Qt's image readers would first ask every image-format plugin
    // whether it knows the picture, which took a fifth of the start-up.
    static QPixmap picture(const char *resourcePath);
    // The picture for a screen of the given scale: drawn twice as large above 100 percent, and
    // scaled down from there rather than up from its own size, so that it stays sharp.
    static QPixmap picture(const QString &resourceName, qreal devicePixelRatio);
};
