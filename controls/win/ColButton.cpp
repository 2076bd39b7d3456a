#include "controls/win/ColButton.h"

#include <commctrl.h>

#include <iterator>

#include "controls/FaceLayout.h"
#include "controls/win/FacePainter.h"

namespace cuewire {

namespace {
// One subclass of ours per button; the object itself travels as the reference data.
constexpr UINT_PTR kSubclassId = 1;
}  // namespace

CColButton::~CColButton() {
    Detach();
}

bool CColButton::Attach(HWND dialog, int id) {
    const HWND button = GetDlgItem(dialog, id);
    if (m_hWnd || !button) {
        return false;
    }
    if (!SetWindowSubclass(button, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    m_hWnd = button;
    return true;
}

void CColButton::Detach() {
    if (m_hWnd) {
        RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
        m_hWnd = nullptr;
    }
}

void CColButton::Invalidate() {
    if (m_hWnd) {
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

void CColButton::DrawItem(const DRAWITEMSTRUCT& item) {
    RECT face = item.rcItem;
    const HDC dc = item.hDC;
    // The frame also paints the face in the system's button-face colour.
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT);
    InflateRect(&face, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));

    const int fill = FillIndex(m_nState, static_cast<int>(std::size(m_crFill)));
    if (fill >= 0) {
        FillFace(dc, face, m_crFill[fill]);
    }
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawCentredCaption(dc, face, WindowText(item.hwndItem), pressed);
}

void CColButton::NotifyRightClick() {
    NMHDR header = {};
    header.hwndFrom = m_hWnd;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(m_hWnd));
    header.code = static_cast<UINT>(NM_RCLICK);
    SendMessageW(GetParent(m_hWnd), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

LRESULT CALLBACK CColButton::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR /*subclassId*/, DWORD_PTR self) {
    auto* button = reinterpret_cast<CColButton*>(self);
    switch (message) {
        case WM_RBUTTONUP:
            // Reported, not passed on: the platform has nothing to do with it.
            button->NotifyRightClick();
            return 0;
        case WM_NCDESTROY:
            // The window goes first; the object may outlive it.
            button->Detach();
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace cuewire
