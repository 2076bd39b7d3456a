#include "video/win/ScaledPicture.h"

#include <algorithm>
#include <vector>

#include "geometry/DisplayScale.h"
#include "video/AreaResample.h"
#include "video/win/ResourceBitmaps.h"
#include "win32/BitmapFormat.h"

namespace cuewire {

namespace {

// A top-down 32-bit DIB section holding `pixels`, every pixel opaque: a picture
// control draws a 32-bit bitmap through its alpha.
HBITMAP OpaqueBitmap(const std::vector<uint32_t>& pixels, int width, int height) {
    const BITMAPINFO format = TopDown32BitFormat(width, height);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        return nullptr;
    }
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) {
        out[i] = pixels[i] | 0xFF000000u;
    }
    return bitmap;
}

}  // namespace

HBITMAP LoadPictureForDpi(HINSTANCE module, int resourceId, int dpi) {
    if (dpi == kBaseDpi) {
        return static_cast<HBITMAP>(
            LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, 0));
    }
    LoadedBitmap source;
    if (!CResourceBitmaps(module).Load(resourceId, source)) {
        return nullptr;
    }
    const int width = ScaleForDpi(source.width, dpi);
    const int height = ScaleForDpi(source.height, dpi);
    std::vector<uint32_t> scaled(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (!AreaResample(source.pixels.data(), source.width, source.height, scaled.data(), width,
                      height)) {
        return nullptr;
    }
    return OpaqueBitmap(scaled, width, height);
}

void GivePicture(HWND control, HBITMAP picture, std::initializer_list<HBITMAP> keep) {
    const auto handedBack = reinterpret_cast<HBITMAP>(
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
    // The template's own picture, or a copy the control made of an earlier one,
    // is ours to release once the control lets go of it.
    if (handedBack && handedBack != picture &&
        std::find(keep.begin(), keep.end(), handedBack) == keep.end()) {
        CBitmapObject released(handedBack);
    }
}

void CScaledPicture::Show(HWND control, HINSTANCE module, int resourceId, int dpi) {
    if (!control || (dpi == kBaseDpi && !m_picture.Get())) {
        return;
    }
    const HBITMAP picture = LoadPictureForDpi(module, resourceId, dpi);
    if (!picture) {
        return;  // the picture the control shows now stays
    }
    GivePicture(control, picture, {m_picture.Get()});
    m_picture.Reset(picture);
}

}  // namespace cuewire
