#pragma once

#include <QColor>

// The palette every picture of the installer is drawn from. The two bar reds are exact: the
// main window is black and its buttons must read as the same two reds wherever they are shown.
namespace ArtColours {

inline const QColor surround(0, 0, 0);
inline const QColor darkRed(127, 0, 0);
inline const QColor brightRed(255, 0, 0);
inline const QColor white(255, 255, 255);
inline const QColor palePink(255, 196, 196);

} // namespace ArtColours
