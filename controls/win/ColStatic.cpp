#include "controls/win/ColStatic.h"

#include <commctrl.h>

#include <iterator>
#include <optional>

#include "controls/FaceLayout.h"
#include "controls/win/FacePainter.h"
#include "win32/WindowDpi.h"
#include "win32/WindowText.h"

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
    // the owner gave it. On a monitor whose scale is not the system's, the same
    // font at the window's scale.
    const int dpi = WindowDpi(m_hWnd);
    std::optional<CSelection> scaled;
    if (const HFONT font = SystemFontAt(dpi)) {
        scaled.emplace(dc, font);
    }
    DrawCentredCaption(dc, client, WindowText(m_hWnd), false, dpi);
    scaled.reset();
    EndPaint(m_hWnd, &paint);
}

HFONT CColStatic::SystemFontAt(int dpi) {
    const int systemDpi = SystemDpi();
    if (dpi == systemDpi) {
        return nullptr;
    }
    if (dpi != m_nFontDpi) {
        LOGFONTW description = {};
        if (GetObjectW(GetStockObject(SYSTEM_FONT), sizeof description, &description) == 0) {
            return nullptr;
        }
        description.lfHeight = MulDiv(description.lfHeight, dpi, systemDpi);
        description.lfWidth = MulDiv(description.lfWidth, dpi, systemDpi);
        m_scaledFont.Reset(CreateFontIndirectW(&description));
        m_nFontDpi = dpi;
    }
    return m_scaledFont.Get();
}

std::optional<LRESULT> CColStatic::OnMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_PAINT) {
        Paint();
        return 0;
    }
    return std::nullopt;
}

}  // namespace cuewire
