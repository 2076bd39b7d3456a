#include "controls/win/ColStatic.h"

#include <commctrl.h>

#include <iterator>

#include "controls/FaceLayout.h"
#include "controls/win/FacePainter.h"

namespace cuewire {

void CColStatic::Paint() {
    PAINTSTRUCT paint = {};
    const HDC dc = BeginPaint(m_hWnd, &paint);
    if (!dc) {
        return;
    }
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    const int fill = FillIndex(m_nState, static_cast<int>(std::size(m_crFill)));
    if (fill >= 0) {
        FillFace(dc, client, m_crFill[fill]);
    }
    // The paint context's own font, the system font: the label ignores any font
    // the owner gave it.
    DrawCentredCaption(dc, client, WindowText(m_hWnd), false);
    EndPaint(m_hWnd, &paint);
}

std::optional<LRESULT> CColStatic::OnMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_PAINT) {
        Paint();
        return 0;
    }
    return std::nullopt;
}

}  // namespace cuewire
