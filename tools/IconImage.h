#pragma once

#include <QImage>

// One picture of an icon file in the form the file stores it: each pixel an index into a small
// palette (the colour table of `indexes`, 2 or 16 entries), and a mask in which a set bit marks
// a pixel the desktop shows through.
struct IconImage
{
    QImage indexes;      // Format_Indexed8
    QImage transparency; // Format_Mono, same size
};
