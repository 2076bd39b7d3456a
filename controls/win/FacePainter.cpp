#include "controls/win/FacePainter.h"

#include "controls/FaceLayout.h"

namespace cuewire {

void FillFace(HDC dc, const RECT& face, COLORREF colour) {
    const COLORREF previous = SetDCBrushColor(dc, colour);
    FillRect(dc, &face, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, previous);
}

void DrawCentredCaption(HDC dc, const RECT& face, const std::wstring& text, bool pressed,
                        int dpi) {
    if (text.empty()) {
        return;
    }
    const int length = static_cast<int>(text.size());
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
    const CaptionOrigin origin = CentredCaption({face.left, face.top, face.right, face.bottom},
                                                extent.cx, extent.cy, pressed, dpi);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, origin.x, origin.y, text.c_str(), length);
    SetBkMode(dc, previousMode);
}

}  // namespace cuewire
