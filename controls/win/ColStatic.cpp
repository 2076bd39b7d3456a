#include "controls/win/ColStatic.h"

#include <commctrl.h>

#include <iterator>

#include "controls/FaceLayout.h"
#include "controls/win/FacePainter.h"

namespace cuewire {

namespace {
// One subclass of ours per label; the object itself travels as the reference data.
constexpr UINT_PTR kSubclassId = 1;
}  // namespace

CColStatic::~CColStatic() {
    Detach();
}

bool CColStatic::Attach(HWND dialog, int id) {
    const HWND label = GetDlgItem(dialog, id);
    if (m_hWnd || !label) {
        return false;
    }
    if (!SetWindowSubclass(label, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    m_hWnd = label;
    return true;
}

void CColStatic::Detach() {
    if (m_hWnd) {
        RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
        m_hWnd = nullptr;
    }
}

void CColStatic::Invalidate() {
    if (m_hWnd) {
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

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

LRESULT CALLBACK CColStatic::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR /*subclassId*/, DWORD_PTR self) {
    auto* label = reinterpret_cast<CColStatic*>(self);
    switch (message) {
        case WM_PAINT:
            label->Paint();
            return 0;
        case WM_NCDESTROY:
            // The window goes first; the object may outlive it.
            label->Detach();
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace cuewire
