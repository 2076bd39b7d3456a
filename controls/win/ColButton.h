#pragma once
#include <windows.h>


#include "win32/SubclassedControl.h"

namespace cuewire {

// An owner-drawn push button whose face is filled with the colour of its state.
// The owner writes the public fields, then calls Invalidate; the button never
// repaints because a field changed. The owner forwards WM_DRAWITEM to DrawItem.
// A right click is reported to the parent as WM_NOTIFY with NM_RCLICK.
// UI thread only.
class CColButton final : public CSubclassedControl {
  public:
    // Draws the whole control: flat frame, fill inside the edge, centred caption.
    void DrawItem(const DRAWITEMSTRUCT& item);

    int m_nState = 0;  // 0 no fill; otherwise the m_crFill entry drawn
    COLORREF m_crFill[5] = {};  // entry 0 is never drawn

  private:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void NotifyRightClick();
};

}  // namespace cuewire
