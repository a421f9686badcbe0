#pragma once

// A control's place in its window's client area, in pixels from the top left corner.
struct PixelRect
{
    int left;
    int top;
    int width;
    int height;
};
