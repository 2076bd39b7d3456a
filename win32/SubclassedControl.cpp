#include "win32/SubclassedControl.h"

#include <commctrl.h>

#include "win32/HandlerGuard.h"

namespace cuewire {

namespace {
// One subclass of ours per control.
constexpr UINT_PTR kSubclassId = 1;
}  // namespace

CSubclassedControl::~CSubclassedControl() {
    Detach();
}

bool CSubclassedControl::Attach(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    if (m_hWnd || !control) {
        return false;
    }
    if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    m_hWnd = control;
    return true;
}

void CSubclassedControl::Detach() {
    if (m_hWnd) {
        RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
        m_hWnd = nullptr;
    }
}

void CSubclassedControl::Invalidate() {
    if (m_hWnd) {
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

LRESULT CALLBACK CSubclassedControl::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR /*subclassId*/,
                                                  DWORD_PTR self) {
    auto* control = reinterpret_cast<CSubclassedControl*>(self);
    // A handler that throws leaves the message to the control's own procedure.
    if (message == WM_NCDESTROY) {
        // The window goes first; the object may outlive it.
        control->Detach();
    } else if (const std::optional<LRESULT> result = GuardHandler(
                   window, [&] { return control->OnMessage(message, wParam, lParam); },
                   std::optional<LRESULT>())) {
        return *result;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace cuewire
