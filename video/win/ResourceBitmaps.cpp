#include "video/win/ResourceBitmaps.h"

#include <utility>

#include "win32/BitmapFormat.h"
#include "win32/GdiOwners.h"

namespace cuewire {

bool CResourceBitmaps::Load(int resourceId, LoadedBitmap& out) {
    // As a DIB section the resource keeps its own bytes: a 32-bit picture its alpha,
    // while a 24-bit one reads back with 0 in the fourth byte.
    CBitmapObject bitmap(static_cast<HBITMAP>(LoadImageW(m_hModule, MAKEINTRESOURCEW(resourceId),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP size = {};
    if (!bitmap.Get() || GetObjectW(bitmap.Get(), sizeof(size), &size) != sizeof(size) ||
        size.bmWidth <= 0 || size.bmHeight <= 0) {
        return false;
    }

    LoadedBitmap loaded;
    loaded.width = size.bmWidth;
    loaded.height = size.bmHeight;
    // Read at 32 bits, as a 32-bit display delivers every picture.
    loaded.bitsPerPixel = 32;
    loaded.pixels.resize(static_cast<size_t>(loaded.width) * static_cast<size_t>(loaded.height));

    BITMAPINFO format = TopDown32BitFormat(loaded.width, loaded.height);
    CMemoryDC context(nullptr);
    const int rows = GetDIBits(context.Get(), bitmap.Get(), 0, static_cast<UINT>(loaded.height),
                               loaded.pixels.data(), &format, DIB_RGB_COLORS);
    if (rows != loaded.height) {
        return false;
    }
    out = std::move(loaded);
    return true;
}

}  // namespace cuewire
