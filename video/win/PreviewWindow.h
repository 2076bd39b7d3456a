#pragma once
#include <windows.h>

#include "video/Preview.h"

namespace cuewire {

// The preview window: the panel's owner-drawn picture control, showing the
// preview image it was last handed, stretched over its whole rectangle. UI
// thread only.
class CPreviewWindow final : public IPreviewWindow {
  public:
    // The control is the panel's; CPreviewWindow draws into it but does not own it.
    void Attach(HWND control) { m_hWnd = control; }
    // The control is going: nothing is drawn after.
    void Detach();

    void Show(const uint8_t* bits, const PreviewBitmapDescription& description) override;

    // The owner-draw paint request of the control, forwarded by the panel.
    void DrawItem(const DRAWITEMSTRUCT& item) const;

  private:
    HWND m_hWnd = nullptr;                                          // not owned
    const uint8_t* m_pShownBits = nullptr;                          // not owned
    const PreviewBitmapDescription* m_pShownDescription = nullptr;  // not owned
};

}  // namespace cuewire
