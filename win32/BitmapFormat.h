#pragma once
#include <windows.h>

namespace cuewire {

// The format of 32-bit pixels in top-down rows, as the pixel loops read and
// write them.
inline BITMAPINFO TopDown32BitFormat(int width, int height) {
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

}  // namespace cuewire
