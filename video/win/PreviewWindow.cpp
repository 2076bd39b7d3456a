#include "video/win/PreviewWindow.h"

#include <cstdlib>

namespace cuewire {

void CPreviewWindow::Detach() {
    m_pShownBits = nullptr;
    m_pShownDescription = nullptr;
    m_hWnd = nullptr;
}

void CPreviewWindow::Show(const uint8_t* bits, const PreviewBitmapDescription& description) {
    m_pShownBits = bits;
    m_pShownDescription = &description;
    if (m_hWnd) {
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

void CPreviewWindow::DrawItem(const DRAWITEMSTRUCT& item) const {
    if (!m_pShownBits || !m_pShownDescription || m_pShownDescription->width <= 0) {
        return;
    }
    const PreviewBitmapDescription& description = *m_pShownDescription;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = description.width;
    info.bmiHeader.biHeight = description.height;  // negative: rows run top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(description.bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;

    const HDC dc = item.hDC;
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE needs the brush origin reset after it
    StretchDIBits(dc, 0, 0, item.rcItem.right, item.rcItem.bottom, 0, 0, description.width,
                  std::abs(description.height), m_pShownBits, &info, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace cuewire
