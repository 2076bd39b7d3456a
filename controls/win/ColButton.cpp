#include "controls/win/ColButton.h"

#include <commctrl.h>

#include <iterator>

#include "controls/FaceLayout.h"
#include "controls/win/FacePainter.h"
#include "win32/WindowDpi.h"
#include "win32/WindowText.h"

namespace cuewire {

void CColButton::DrawItem(const DRAWITEMSTRUCT& item) {
    RECT face = item.rcItem;
    const HDC dc = item.hDC;
    // The caption comes in the font the button carries, the dialog's, which
    // already has the window's scale; the edge and the press offset take it here.
    const int dpi = WindowDpi(item.hwndItem);
    // The frame also paints the face in the system's button-face colour.
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT);
    InflateRect(&face, -SystemMetricForDpi(SM_CXEDGE, dpi), -SystemMetricForDpi(SM_CYEDGE, dpi));

    const int fill = FillIndex(m_nState, static_cast<int>(std::size(m_crFill)));
    if (fill >= 0) {
        FillFace(dc, face, m_crFill[fill]);
    }
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawCentredCaption(dc, face, WindowText(item.hwndItem), pressed, dpi);
}

void CColButton::NotifyRightClick() {
    NMHDR header = {};
    header.hwndFrom = m_hWnd;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(m_hWnd));
    header.code = static_cast<UINT>(NM_RCLICK);
    SendMessageW(GetParent(m_hWnd), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

std::optional<LRESULT> CColButton::OnMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_RBUTTONUP) {
        // Reported, not passed on: the platform has nothing to do with it.
        NotifyRightClick();
        return 0;
    }
    return std::nullopt;
}

}  // namespace cuewire
