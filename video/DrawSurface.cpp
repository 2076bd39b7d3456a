#include "video/DrawSurface.h"

#include <algorithm>
#include <cstring>

#include "video/AreaResample.h"
#include "video/PixelFormat.h"

namespace cuewire {

CDrawSurface::CDrawSurface(IPixelBlockAllocator& blocks) : m_pBits(nullptr, BlockDeleter{&blocks}) {
    Reallocate(kSurfaceInitialBytes);
}

int32_t CDrawSurface::Reallocate(int32_t bytes) {
    Empty();
    if (bytes < 0) {
        return 0;
    }
    const size_t words = (static_cast<size_t>(bytes) + 3) / 4;
    if (m_pBits && m_nCapacityBytes >= bytes) {
        std::fill_n(m_pBits.get(), words, 0u);
        return 1;
    }
    // A fresh block is zero already: clearing it would only make it resident.
    m_pBits.reset();
    m_pBits.reset(m_pBits.get_deleter().blocks->Allocate(words));
    m_nCapacityBytes = m_pBits ? bytes : 0;
    return m_pBits ? 1 : 0;
}

int32_t CDrawSurface::Resize(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || !Reallocate(width * height * 4)) {
        return 0;
    }
    m_nWidth = width;
    m_nHeight = height;
    m_nBitsPerPixel = 32;
    m_nSize = width * height * 4;
    m_bHasPixels = 1;
    return 1;
}

void CDrawSurface::Empty() {
    m_nWidth = 0;
    m_nHeight = 0;
    m_nSize = 0;
    m_nBitsPerPixel = 0;
}

void CDrawSurface::Release() {
    m_pBits.reset();
    m_nCapacityBytes = 0;
    m_bitmap = LoadedBitmap{};
    Empty();
}

int32_t CDrawSurface::LoadBitmapResource(IBitmapResources& resources, int32_t resourceId) {
    LoadedBitmap loaded;
    if (!resources.Load(resourceId, loaded)) {
        return 0;
    }
    m_bitmap = std::move(loaded);
    m_nResourceId = resourceId;

    const int32_t width = m_bitmap.width;
    const int32_t height = m_bitmap.height;
    const int32_t pixelCount = width * height;
    if (width <= 0 || height <= 0 || !Reallocate(pixelCount * 4)) {
        Empty();
        return 0;
    }
    m_nWidth = width;
    m_nHeight = height;
    m_nBitsPerPixel = m_bitmap.bitsPerPixel;
    m_nSize = m_nBitsPerPixel * height * width / 8;

    if (m_bitmap.pixels.size() != static_cast<size_t>(pixelCount)) {
        Empty();
        return 0;
    }
    std::copy(m_bitmap.pixels.begin(), m_bitmap.pixels.end(), m_pBits.get());
    m_bHasPixels = 1;
    return 1;
}

int32_t CDrawSurface::ScaleBitmap(int32_t width, int32_t height) {
    if (m_bitmap.Empty() || width <= 0 || height <= 0) {
        return 0;
    }
    if (!Reallocate(width * height * 4)) {
        return 0;
    }
    if (!AreaResample(m_bitmap.pixels.data(), m_bitmap.width, m_bitmap.height, m_pBits.get(), width,
                      height)) {
        return 0;  // the surface stays empty
    }
    m_nWidth = width;
    m_nHeight = height;
    m_nBitsPerPixel = 32;
    m_nSize = width * height * 4;
    // Only a 32-bit bitmap carries transparency; any other depth comes out opaque.
    if (m_bitmap.bitsPerPixel != 32) {
        MakeOpaque();
    }
    return 1;
}

int32_t CDrawSurface::CopyFrom(const CDrawSurface& source) {
    if (source.m_bHasPixels != 1) {
        return 0;
    }
    const int32_t pixelCount = source.m_pBits ? source.PixelCount() : 0;
    const int32_t bytesNeeded = std::max(source.m_nSize, pixelCount * 4);
    if (m_nSize != source.m_nSize && (!m_pBits || m_nCapacityBytes < bytesNeeded)) {
        if (!Reallocate(bytesNeeded)) {
            return 0;
        }
    }
    m_nWidth = source.m_nWidth;
    m_nHeight = source.m_nHeight;
    m_nBitsPerPixel = source.m_nBitsPerPixel;
    m_nSize = source.m_nSize;
    if (pixelCount > 0) {
        std::memcpy(m_pBits.get(), source.m_pBits.get(), static_cast<size_t>(pixelCount) * 4);
    }
    m_bHasPixels = 1;
    return 1;
}

void CDrawSurface::Fill(uint32_t pixel) {
    if (!m_pBits || m_nSize == 0) {
        return;
    }
    // Transparent black, the usual fill, is a plain byte fill.
    if (pixel == 0) {
        std::memset(m_pBits.get(), 0, static_cast<size_t>(PixelCount()) * 4);
        return;
    }
    std::fill_n(m_pBits.get(), PixelCount(), pixel);
}

void CDrawSurface::MakeOpaque() {
    if (!m_pBits || m_nSize == 0) {
        return;
    }
    uint32_t* pixels = m_pBits.get();
    const int32_t count = PixelCount();
    for (int32_t i = 0; i < count; ++i) {
        pixels[i] |= kAlphaMask;
    }
}

namespace {

// Straight-alpha "over": colour weighted by the source alpha, coverage combined.
inline uint32_t BlendPixel(uint32_t s, uint32_t d) {
    const uint32_t a = s >> 24;
    // The two ends of the rule, and the common case of a banner's pixels.
    if (a == 0) {
        return d;
    }
    if (a == 255) {
        return s;
    }
    const uint32_t ia = 255 - a;
    const uint32_t b = ((d & 0xff) * ia + (s & 0xff) * a) / 255;
    const uint32_t g = (((d >> 8) & 0xff) * ia + ((s >> 8) & 0xff) * a) / 255;
    const uint32_t r = (((d >> 16) & 0xff) * ia + ((s >> 16) & 0xff) * a) / 255;
    const uint32_t alpha = 255 - ((255 - (d >> 24)) * ia) / 255;
    return (alpha << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace

void CDrawSurface::CompositeOnto(Anchor anchor, int32_t mode, uint32_t* dest, int32_t destWidth,
                                 int32_t destHeight, int32_t bottomMargin) const {
    if (!Has32BitPixels() || !dest) {
        return;
    }
    const int32_t w = m_nWidth;
    const int32_t h = m_nHeight;
    const int32_t x = (destWidth - w) / 2;
    const int32_t y =
        anchor == Anchor::kCentre ? (destHeight - h) / 2 : destHeight - h - bottomMargin;

    const int32_t sourceX = std::max(0, -x);
    const int32_t sourceY = std::max(0, -y);
    const int32_t destX = std::max(0, x);
    const int32_t destY = std::max(0, y);
    const int32_t columns = std::min(w - sourceX, destWidth - destX);
    const int32_t rows = std::min(h - sourceY, destHeight - destY);
    if (columns <= 0 || rows <= 0) {
        return;
    }

    for (int32_t row = 0; row < rows; ++row) {
        const uint32_t* s = m_pBits.get() + static_cast<size_t>(sourceY + row) * w + sourceX;
        uint32_t* d = dest + static_cast<size_t>(destY + row) * destWidth + destX;
        if (mode == kCompositeCopy) {
            std::memcpy(d, s, static_cast<size_t>(columns) * 4);
        } else {
            for (int32_t column = 0; column < columns; ++column) {
                d[column] = BlendPixel(s[column], d[column]);
            }
        }
    }
}

CanvasResult CDrawSurface::DrawTextLine(ITextCanvas& canvas, std::u16string_view text) {
    if (!m_pBits || m_nSize == 0) {
        return CanvasResult::kNoCanvas;
    }
    const int32_t cellHeight = m_nHeight * 7 / 10;
    return canvas.DrawLine(text, cellHeight, m_nWidth, m_nHeight, m_pBits.get());
}

}  // namespace cuewire
