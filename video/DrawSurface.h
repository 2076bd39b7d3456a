#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

#include "video/BitmapResources.h"
#include "video/FrameBufferAllocator.h"
#include "video/TextCanvas.h"

namespace cuewire {

enum class Anchor { kCentre, kBottomCentre };

enum CompositeMode : int32_t {
    kCompositeBlend = 1,
    kCompositeCopy = 2,
};

struct TextRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// A 32-bit pixel buffer with its size, an optional bitmap loaded from the
// program's resources and a text canvas reached through ITextCanvas. Operations
// that can fail return 1 or 0 and never throw. UI thread only.
class CDrawSurface {
  public:
    // The buffer, a full 1080-line frame from the start, comes from `blocks`
    // (which outlives the surface) as zero pages; only what a size in use
    // needs is ever written.
    explicit CDrawSurface(IFrameBufferAllocator& blocks);
    CDrawSurface(const CDrawSurface&) = delete;
    CDrawSurface& operator=(const CDrawSurface&) = delete;
    ~CDrawSurface() { Release(); }

    int32_t LoadBitmapResource(IBitmapResources& resources, int32_t resourceId);
    int32_t ScaleBitmap(int32_t width, int32_t height);
    int32_t CopyFrom(const CDrawSurface& source);
    void Fill(uint32_t pixel);
    void MakeOpaque();
    void CompositeOnto(int32_t x, int32_t y, Anchor anchor, int32_t mode, uint32_t* dest,
                       int32_t destWidth, int32_t destHeight) const;
    // Draws one line on the text canvas into the buffer (font cell height 7/10
    // of the surface height); the caller keys the result.
    CanvasResult DrawTextLine(ITextCanvas& canvas, std::u16string_view text);
    // Makes `bytes` zero bytes available, reusing the buffer when it is large
    // enough (only those bytes are cleared); empties the surface.
    int32_t Reallocate(int32_t bytes);
    // Sizes the surface by hand: width x height zero pixels that count as content.
    int32_t Resize(int32_t width, int32_t height);
    void Empty();
    void Release();

    bool HasLoadedBitmap() const { return m_nResourceId != 0 && !m_bitmap.Empty(); }
    uint32_t* Pixels() { return m_pBits.get(); }
    const uint32_t* Pixels() const { return m_pBits.get(); }
    int32_t PixelCount() const { return m_nWidth * m_nHeight; }
    // Pixels the buffer can hold, whatever the surface's current size.
    int32_t CapacityPixels() const { return m_pBits ? m_nCapacityBytes / 4 : 0; }

    // Plain fields: the owner may size a surface by hand (the text box).
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nSize = 0;  // bytes of content; 0 means empty
    int32_t m_nBitsPerPixel = 0;
    TextRect m_rcText;
    LoadedBitmap m_bitmap;
    int32_t m_nResourceId = 0;
    uint32_t m_dwFillPixel = 0;
    int32_t m_bHasPixels = 0;
    int32_t m_nFontHeight = 0;

  private:
    // A buffer goes back to the allocator it came from.
    struct BlockDeleter {
        IFrameBufferAllocator* blocks;  // not owned
        void operator()(uint32_t* block) const { blocks->Free(block); }
    };

    std::unique_ptr<uint32_t[], BlockDeleter> m_pBits;
    int32_t m_nCapacityBytes = 0;
};

}  // namespace cuewire
