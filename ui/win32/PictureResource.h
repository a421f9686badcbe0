#pragma once

#include "WindowsApi.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A picture of the main window, stored among the program's resources as runs of pixels (the
// artwork generator's PixelRunEncoder describes them) and drawn from a 24-bit bottom-up
// device-independent bitmap, the one Windows would load from the uncompressed picture.
class PictureResource final
{
public:
    struct Pixels
    {
        int width = 0;
        int height = 0;
        // The bitmap's rows, bottom row first, each padded to a multiple of four bytes.
        std::vector<std::uint8_t> rows;
    };

    // The picture with the given number in the module, or null when it is missing or malformed
    // (the last error is then set). The caller deletes the bitmap.
    static HBITMAP load(HMODULE module, int id);

    // The pixels the stored runs describe, or nothing when the runs would read past the stored
    // bytes, leave bytes over, or cover more or fewer pixels than the picture has.
    static std::optional<Pixels> decode(std::span<const std::uint8_t> stored);
};
