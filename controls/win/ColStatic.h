#pragma once
#include <windows.h>

#include "win32/SubclassedControl.h"
#include "win32/GdiOwners.h"

namespace cuewire {

// A label that paints itself: its client area filled with the colour of its
// state and its window text centred in the system font and default text colour.
// The owner writes the public fields, then calls Invalidate. Clicks reach the
// parent through the template's notify style. UI thread only.
class CColStatic final : public CSubclassedControl {
  public:
    int m_nState = 0;  // 0 no fill; otherwise the m_crFill entry painted
    COLORREF m_crFill[7] = {};  // entry 0 is never painted

  private:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint();
    // The system font for a window at `dpi`; null at the system's own DPI,
    // where the paint context already carries it.
    HFONT SystemFontAt(int dpi);

    CFontObject m_scaledFont;  // the system font at m_nFontDpi
    int m_nFontDpi = 0;
};

}  // namespace cuewire
