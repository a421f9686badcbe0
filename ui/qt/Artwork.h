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
};
