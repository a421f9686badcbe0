#include "PictureResource.h"

#include <algorithm>
#include <cstring>

namespace {

enum class RunKind : std::uint8_t {
    Literal = 0,
    Repeat = 1,
    RowAbove = 2,
};

constexpr std::size_t HeaderSize = 4;
constexpr std::size_t PixelSize = 3;

std::size_t rowStride(int width)
{
    return (static_cast<std::size_t>(width) * PixelSize + 3) / 4 * 4;
}

// Where pixel index lands among the padded rows.
std::size_t offsetOf(std::size_t index, int width)
{
    return index / width * rowStride(width) + index % width * PixelSize;
}

std::span<const std::uint8_t> resourceBytes(HMODULE module, int id)
{
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void *bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return {};
    return {static_cast<const std::uint8_t *>(bytes), SizeofResource(module, resource)};
}

} // namespace

std::optional<PictureResource::Pixels> PictureResource::decode(std::span<const std::uint8_t> stored)
{
    if (stored.size() < HeaderSize)
        return std::nullopt;
    Pixels pixels;
    pixels.width = stored[0] | stored[1] << 8;
    pixels.height = stored[2] | stored[3] << 8;
    if (pixels.width == 0 || pixels.height == 0)
        return std::nullopt;
    pixels.rows.resize(rowStride(pixels.width) * pixels.height);
    const std::size_t count = static_cast<std::size_t>(pixels.width) * pixels.height;
    std::size_t next = 0;
    for (std::size_t at = HeaderSize; at < stored.size();) {
        const auto kind = static_cast<RunKind>(stored[at] >> 6);
        const std::size_t length = (stored[at++] & 0x3f) + 1u;
        const std::size_t carried = kind == RunKind::Literal  ? length * PixelSize
                                    : kind == RunKind::Repeat ? PixelSize
                                                              : 0;
        if (length > count - next || carried > stored.size() - at ||
            (kind == RunKind::RowAbove && next < static_cast<std::size_t>(pixels.width)) ||
            static_cast<std::uint8_t>(kind) > 2)
            return std::nullopt;
        for (std::size_t i = 0; i < length; ++i, ++next) {
            const std::uint8_t *source =
                kind == RunKind::Literal ? &stored[at + i * PixelSize]
                : kind == RunKind::Repeat
                    ? &stored[at]
                    : &pixels.rows[offsetOf(next - pixels.width, pixels.width)];
            std::memcpy(&pixels.rows[offsetOf(next, pixels.width)], source, PixelSize);
        }
        at += carried;
    }
    if (next != count)
        return std::nullopt;
    return pixels;
}

HBITMAP PictureResource::load(HMODULE module, int id)
{
    const std::span<const std::uint8_t> stored = resourceBytes(module, id);
    if (stored.empty())
        return nullptr;
    const std::optional<Pixels> pixels = decode(stored);
    if (!pixels) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels->width;
    info.bmiHeader.biHeight = pixels->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap)
        std::memcpy(bits, pixels->rows.data(), pixels->rows.size());
    return bitmap;
}
