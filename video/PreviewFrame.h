#pragma once
#include <cstdint>
#include <memory>

#include "video/PixelBlockAllocator.h"

namespace cuewire {

// What the preview window needs to draw the image: a top-down 32-bit bitmap
// (bytes blue, green, red, unused). A negative height means top-down rows.
struct PreviewBitmapDescription {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
};

// The preview image of the output: frames wider than 640 pixels are decimated
// to every second pixel of every second row; nothing is filtered or allocated
// per frame. UI thread only.
class CPreviewFrame {
  public:
    static constexpr int kHalvingWidth = 640;

    // The preview buffer will come from `blocks`, which outlives this.
    explicit CPreviewFrame(IPixelBlockAllocator& blocks)
        : m_pBuffer(nullptr, BlockDeleter{&blocks}) {}

    // Allocates the one preview buffer, as zero pages of which a frame writes
    // only its own size; without it SetFrame does nothing.
    bool Setup();
    // Every frame is 16:9 with the output's byte order, so the size and the
    // row stride are all it takes.
    void SetFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride);

    const uint8_t* Bits() const { return reinterpret_cast<const uint8_t*>(m_pBuffer.get()); }
    const PreviewBitmapDescription& Description() const { return m_description; }

  private:
    // The buffer goes back to the allocator it came from.
    struct BlockDeleter {
        IPixelBlockAllocator* blocks;  // not owned
        void operator()(uint32_t* block) const { blocks->Free(block); }
    };

    std::unique_ptr<uint32_t[], BlockDeleter> m_pBuffer;  // kFrameBufferBytes
    PreviewBitmapDescription m_description;
};

}  // namespace cuewire
