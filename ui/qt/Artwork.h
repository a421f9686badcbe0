#pragma once

#include <QPixmap>

// The pictures compiled into the program.
class Artwork final
{
public:
    // Decoded as PNG by Qt itself, without asking each image-format plugin whether it knows the
    // picture: loading those plugins took a fifth of the start-up.
    static QPixmap picture(const char *resourcePath);
};
