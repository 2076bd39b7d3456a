#include "video/PreviewFrame.h"

#include <cstring>
#include <new>

#include "video/PixelFormat.h"

namespace cuewire {

bool CPreviewFrame::Setup() {
    if (!m_pBuffer) {
        m_pBuffer.reset(new (std::nothrow) uint8_t[kFrameBufferBytes]);
    }
    return m_pBuffer != nullptr;
}

void CPreviewFrame::SetFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride,
                             uint32_t /*fourCc: every frame has the same byte order*/,
                             float /*aspect: every frame is 16:9*/) {
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

    for (int32_t y = 0; y < previewHeight; ++y) {
        const uint8_t* sourceRow = pixels + static_cast<size_t>(y) * step * stride;
        uint8_t* destRow = m_pBuffer.get() + static_cast<size_t>(y) * previewWidth * 4;
        if (step == 1) {
            std::memcpy(destRow, sourceRow, static_cast<size_t>(previewWidth) * 4);
            continue;
        }
        for (int32_t x = 0; x < previewWidth; ++x) {
            std::memcpy(destRow + x * 4, sourceRow + static_cast<size_t>(x) * 2 * 4, 4);
        }
    }
}

}  // namespace cuewire
