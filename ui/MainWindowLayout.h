#pragma once

#include "PixelRect.h"

#include <array>
#include <cstdint>

// Where the main window's pictures stand. Both front ends draw from here, so that they match
// pixel for pixel.
namespace MainWindowLayout {

inline constexpr int ClientWidth = 296;
inline constexpr int ClientHeight = 423;

inline constexpr PixelRect Picture1{16, 16, 258, 61};

inline constexpr int ButtonCount = 4;
inline constexpr std::array<const char *, ButtonCount> ButtonLabels{"Install", "Uninstall",
                                                                    "Credits", "Exit"};

// The picture buttons share one left edge and one size and follow each other every 72 pixels.
constexpr PixelRect buttonn(std::int16_t index)
{
    return {16, 112 + 72 * index, 257, 61};
}

// Below the last picture button, hidden but while a removal runs.
inline constexpr PixelRect StatusLine{16, 395, 257, 20};

} // namespace MainWindowLayout
