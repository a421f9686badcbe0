#pragma once

#include <QByteArray>
#include <QImage>

// Stores a picture as the Windows program keeps it: a width and a height of two little-endian
// bytes each, then the pixels in the order of a bottom-up 24-bit bitmap (bottom row first, blue,
// green, red) as runs. Each run starts with a byte whose two high bits say its kind and whose six
// low bits hold its length less one: 0, that many pixels follow; 1, one pixel follows, repeated;
// 2, the pixels repeat those one row earlier. The pictures are mostly black surround and flat or
// smoothly shaded bars, which these runs store in a fraction of the bitmap's bytes.
class PixelRunEncoder final
{
public:
    static QByteArray encode(const QImage &picture);
};
