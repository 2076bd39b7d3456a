#include "video/PreviewFrame.h"

#include <cstring>

#include "video/PixelFormat.h"

namespace cuewire {

bool CPreviewFrame::Setup() {
    if (!m_pBuffer) {
        m_pBuffer.reset(m_pBuffer.get_deleter().blocks->Allocate(kFrameBufferBytes / 4));
    }
    return m_pBuffer != nullptr;
}

void CPreviewFrame::SetFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride) {
    if (!m_pBuffer) {
        return;
    }
    const int32_t step = width > kHalvingWidth ? 2 : 1;
    const int32_t previewWidth = width / step;
    const int32_t previewHeight = height / step;
    m_description.width = previewWidth;
    m_description.height = -previewHeight;
    m_description.bitsPerPixel = 32;
    if (!pixels || previewWidth <= 0 || previewHeight <= 0) {
        return;
    }
    // The caller keeps frames within the buffer; refuse anything that is not.
    if (static_cast<long long>(previewWidth) * previewHeight * 4 > kFrameBufferBytes) {
        return;
    }

    const size_t rowBytes = static_cast<size_t>(previewWidth) * 4;
    for (int32_t y = 0; y < previewHeight; ++y) {
        const uint8_t* source = pixels + static_cast<size_t>(y) * step * stride;
        uint8_t* dest =
            reinterpret_cast<uint8_t*>(m_pBuffer.get()) + static_cast<size_t>(y) * rowBytes;
        if (step == 1) {
            std::memcpy(dest, source, rowBytes);
            continue;
        }
        // Whole four-byte pixels, every second one; the bytes stay as they are.
        for (int32_t x = 0; x < previewWidth; ++x, source += 8, dest += 4) {
            std::memcpy(dest, source, 4);
        }
    }
}

}  // namespace cuewire
