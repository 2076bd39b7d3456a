#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

#include "video/BitmapResources.h"
#include "video/PixelBlockAllocator.h"
#include "video/TextCanvas.h"

namespace cuewire {

enum class Anchor { kCentre, kBottomCentre };

enum CompositeMode : int32_t {
    kCompositeBlend = 1,
    kCompositeCopy = 2,
};

// A 32-bit pixel buffer with its size, an optional bitmap loaded from the
// program's resources and a text canvas reached through ITextCanvas. Operations
// that can fail return 1 or 0 and never throw. UI thread only.
class CDrawSurface {
  public:
    // The buffer, a full 1080-line frame from the start, comes from `blocks`
    // (which outlives the surface) as zero pages; only what a size in use
    // needs is ever written.
    explicit CDrawSurface(IPixelBlockAllocator& blocks);
    CDrawSurface(const CDrawSurface&) = delete;
    CDrawSurface& operator=(const CDrawSurface&) = delete;
    ~CDrawSurface() { Release(); }

    int32_t LoadBitmapResource(IBitmapResources& resources, int32_t resourceId);
    int32_t ScaleBitmap(int32_t width, int32_t height);
    int32_t CopyFrom(const CDrawSurface& source);
    void Fill(uint32_t pixel);
    void MakeOpaque();
    // Copies or blends the pixels onto a destination of another size: centred,
    // or centred along the bottom edge `bottomMargin` rows above it; whatever
    // falls outside the destination is cut.
    void CompositeOnto(Anchor anchor, int32_t mode, uint32_t* dest, int32_t destWidth,
                       int32_t destHeight, int32_t bottomMargin = 0) const;
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
    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }
    int32_t SizeBytes() const { return m_nSize; }  // 0 when empty
    int32_t BitsPerPixel() const { return m_nBitsPerPixel; }
    int32_t ResourceId() const { return m_nResourceId; }
    // True once pixels were written: loaded, scaled, copied or sized by hand.
    bool HasPixels() const { return m_bHasPixels == 1; }
    // Holds written 32-bit pixels, of any size.
    bool Has32BitPixels() const {
        return m_pBits && m_bHasPixels == 1 && m_nBitsPerPixel == 32 && m_nSize != 0;
    }
    // Holds written 32-bit pixels, exactly width x height of them.
    bool Holds32BitFrame(int32_t width, int32_t height) const {
        return Has32BitPixels() && m_nWidth == width && m_nHeight == height &&
               m_nSize == width * height * 4;
    }

  private:
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nSize = 0;  // bytes of content; 0 means empty
    int32_t m_nBitsPerPixel = 0;
    LoadedBitmap m_bitmap;
    int32_t m_nResourceId = 0;
    int32_t m_bHasPixels = 0;

    // A buffer goes back to the allocator it came from.
    struct BlockDeleter {
        IPixelBlockAllocator* blocks;  // not owned
        void operator()(uint32_t* block) const { blocks->Free(block); }
    };

    std::unique_ptr<uint32_t[], BlockDeleter> m_pBits;
    int32_t m_nCapacityBytes = 0;
};

}  // namespace cuewire
