#pragma once
#include <windows.h>

#include <string>

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
    // The fields below are kept at 0 by the panel: a press sends nothing extra,
    // changes no state, the frame stays flat, the text colour and the inner
    // rectangle are left as they are, and the caption is the window text.
    int m_nMsgWParam = 0;
    int m_nMsgLParam = 0;
    int m_bSendOnPress = 0;
    int m_nPressState = 0;
    int m_bPushFrame = 0;
    int m_nTextColourIndex[6] = {};
    int m_nBorder = 0;
    COLORREF m_crFill[5] = {};  // entry 0 is never drawn
    COLORREF m_crText[6] = {};
    std::wstring m_strUpper, m_strLower;
    int m_nCaptionMode = 0;

  private:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void NotifyRightClick();
};

}  // namespace cuewire
