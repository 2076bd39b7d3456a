#pragma once
#include <cstdint>

#include "video/PreviewFrame.h"

namespace cuewire {

// The window that shows the preview image: it is handed the finished image
// and only paints it. UI thread only.
class IPreviewWindow {
  public:
    virtual ~IPreviewWindow() = default;
    // Points the window at the image and asks it to repaint; the image stays
    // where it is, and is rewritten in place, until the output goes.
    virtual void Show(const uint8_t* bits, const PreviewBitmapDescription& description) = 0;
};

// The output's preview: converts each frame it is handed into the preview
// image and shows that image in the window.
class CPreview {
  public:
    // The image's buffer comes from `blocks`, which outlives this.
    CPreview(IPreviewWindow& window, IPixelBlockAllocator& blocks)
        : m_window(window), m_frame(blocks) {}

    // Once, when the NDI side is ready: allocates the preview image; without
    // it the window stays blank.
    void Setup() { m_frame.Setup(); }
    void SetFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride) {
        m_frame.SetFrame(pixels, width, height, stride);
    }
    // Points the window at the image and asks it to repaint.
    void Refresh() {
        if (m_frame.Bits()) {
            m_window.Show(m_frame.Bits(), m_frame.Description());
        }
    }

  private:
    IPreviewWindow& m_window;  // not owned
    CPreviewFrame m_frame;     // owns the preview image
};

}  // namespace cuewire
