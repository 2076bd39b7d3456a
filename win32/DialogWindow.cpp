#include "win32/DialogWindow.h"

#include "win32/HandlerGuard.h"
#include "win32/WindowText.h"

namespace cuewire {

CDialogWindow::~CDialogWindow() {
    if (m_hWnd) {
        // The derived part is gone already: the window's last messages must not
        // reach a handler of an object half destroyed.
        SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
    }
}

bool CDialogWindow::CreateModeless(HWND owner) {
    if (m_hWnd) {
        return true;
    }
    m_bEnded = false;
    // WM_INITDIALOG arrives inside this call and stores `this` and the handle.
    CreateDialogParamW(m_hInstance, MAKEINTRESOURCEW(m_nTemplateId), owner, DialogProc,
                       reinterpret_cast<LPARAM>(this));
    return m_hWnd != nullptr;
}

INT_PTR CDialogWindow::RunModal(HWND owner) {
    // Modal already during WM_INITDIALOG, so that an End there waits for the loop.
    m_bModal = true;
    if (!CreateModeless(owner)) {
        m_bModal = false;
        return -1;
    }
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) {
        EnableWindow(owner, FALSE);
    }
    // The template may not carry WS_VISIBLE; a modal dialog is always shown.
    if (!m_bEnded) {
        ShowWindow(m_hWnd, SW_SHOW);
    }
    RunMessageLoop();
    // The owner comes back before the dialog goes, so activation returns to it.
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
    }
    if (m_hWnd) {
        DestroyWindow(m_hWnd);
    }
    m_bModal = false;
    return m_nResult;
}

void CDialogWindow::RunMessageLoop() {
    MSG message;
    while (!m_bEnded) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // Someone asked the thread to quit: leave, and pass the request on to
            // any loop that runs ours.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        if (PreTranslateMessage(message) || IsNavigationMessage(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool CDialogWindow::IsNavigationMessage(MSG& message) {
    const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (!root) {
        return false;
    }
    wchar_t className[16] = {};
    GetClassNameW(root, className, 16);
    // Only dialogs navigate; other top-level windows get their keys as they are.
    if (std::wstring_view(className) != L"#32770") {
        return false;
    }
    return IsDialogMessageW(root, &message) != FALSE;
}

void CDialogWindow::End(INT_PTR result) {
    m_nResult = result;
    m_bEnded = true;
    if (m_bModal) {
        // Wakes the loop, in case End came from outside a dispatched message.
        PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        DestroyWindow(m_hWnd);
    }
}

std::wstring CDialogWindow::ControlText(int id) const {
    return WindowText(Control(id));
}

void CDialogWindow::SetControlText(int id, std::wstring_view text) {
    SetDlgItemTextW(m_hWnd, id, std::wstring(text).c_str());
}

void CDialogWindow::StartTimer(int id, int milliseconds) {
    SetTimer(m_hWnd, static_cast<UINT_PTR>(id), static_cast<UINT>(milliseconds), nullptr);
}

void CDialogWindow::StopTimer(int id) {
    KillTimer(m_hWnd, static_cast<UINT_PTR>(id));
}

int CDialogWindow::ShowMessageBox(std::wstring_view text, std::wstring_view caption, UINT type) {
    return MessageBoxW(m_hWnd, std::wstring(text).c_str(), std::wstring(caption).c_str(), type);
}

void CDialogWindow::SetMessageResult(LRESULT result) {
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
}

INT_PTR CALLBACK CDialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialogWindow*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->m_hWnd = window;
        return GuardHandler(
            window, [&] { return self->HandleMessage(message, wParam, lParam); }, INT_PTR{TRUE});
    }
    auto* self = reinterpret_cast<CDialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) {
        return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT) and after WM_NCDESTROY
    }
    if (message == kHandlerFailureReport) {
        ShowFailureReport(window);
        return TRUE;
    }
    // No exception may unwind through the system's frames; a failed handler
    // leaves the message to default processing.
    const INT_PTR handled = GuardHandler(
        window, [&] { return self->HandleMessage(message, wParam, lParam); }, INT_PTR{FALSE});
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        self->m_bEnded = true;  // a modal run cannot outlive its window
    }
    return handled;
}

}  // namespace cuewire
