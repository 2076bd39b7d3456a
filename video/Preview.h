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
class CPreview final : public IPreview {
  public:
    // The image's buffer comes from `blocks`, which outlives this.
    CPreview(IPreviewWindow& window, IFrameBufferAllocator& blocks)
        : m_window(window), m_frame(blocks) {}

    void Setup() override { m_frame.Setup(); }  // without a buffer the window stays blank
    void SetFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride,
                  uint32_t fourCc, float aspect) override {
        m_frame.SetFrame(pixels, width, height, stride, fourCc, aspect);
    }
    void Refresh() override {
        if (m_frame.Bits()) {
            m_window.Show(m_frame.Bits(), m_frame.Description());
        }
    }

  private:
    IPreviewWindow& m_window;  // not owned
    CPreviewFrame m_frame;     // owns the preview image
};

}  // namespace cuewire
