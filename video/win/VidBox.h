#pragma once
#include <windows.h>

#include "video/PreviewFrame.h"

namespace cuewire {

// The preview window: the panel's owner-drawn picture control, showing the
// latest preview image stretched over its whole rectangle. UI thread only.
class VidBox final : public IPreview {
  public:
    // The preview buffer comes from `blocks`, which outlives the window.
    explicit VidBox(IFrameBufferAllocator& blocks) : m_frame(blocks) {}

    // The control is the panel's; VidBox draws into it but does not own it.
    void Attach(HWND control) { m_hWnd = control; }
    // The control is going: frees the preview buffer, so nothing is drawn after.
    void Detach();

    void Setup() override;
    void SetFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride,
                  uint32_t fourCc, float aspect) override;
    // Points the window at the converted image and asks for a repaint.
    void Refresh() override;

    // The owner-draw paint request of the control, forwarded by the panel.
    void DrawItem(const DRAWITEMSTRUCT& item) const;

  private:
    HWND m_hWnd = nullptr;                                          // not owned
    CPreviewFrame m_frame;                                          // owns the preview buffer
    const uint8_t* m_pShownBits = nullptr;                          // not owned
    const PreviewBitmapDescription* m_pShownDescription = nullptr;  // not owned
};

}  // namespace cuewire
