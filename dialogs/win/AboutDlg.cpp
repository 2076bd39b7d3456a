#include "dialogs/win/AboutDlg.h"

#include <utility>

#include "win32/WideText.h"
#include "win32/WindowDpi.h"
#include "dialogs/AboutText.h"
#include "res/resource.h"

namespace cuewire {

namespace {

constexpr wchar_t kMakerLine[] = L"\u00A9 Bryvo. All rights reserved.";

// The runtime describes itself in the system's narrow code page.
std::wstring FromSystemCodePage(const char* text) {
    if (!text || !*text) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length) - 1);  // without the terminator
    return wide;
}

// The template's picture control, which carries no ID of its own.
HWND FirstBitmapPicture(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace

CAboutDlg::CAboutDlg(HINSTANCE instance, std::wstring programVersion,
                     const char* ndiVersionDescription)
    : CDialogWindow(instance, IDD_ABOUTBOX),
      m_strVersion(std::move(programVersion)),
      m_strNdiDescription(FromSystemCodePage(ndiVersionDescription)) {
}

INT_PTR CAboutDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;  // the platform puts the focus on the default button
        case WM_DPICHANGED: {
            // On a monitor of another scale: the size the system suggests, and
            // the logo again at that scale.
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            TakeSuggestedRect(Handle(), suggested);
            m_logo.Show(FirstBitmapPicture(Handle()), Instance(), IDB_MAKER_LOGO,
                        DpiOfChange(wParam));
            return FALSE;  // the dialog manager still lays out the template's controls
        }
        case WM_COMMAND:
            // OK, Esc and the close box all just close it; nothing changes.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                End(LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void CAboutDlg::OnInitDialog() {
    const std::u16string line =
        AboutVersionLine(FromWide(m_strVersion), FromWide(m_strNdiDescription));
    SetControlText(IDC_ABOUT_VERSION, ToWide(line));
    SetControlText(IDC_ABOUT_MAKER, kMakerLine);
    m_logo.Show(FirstBitmapPicture(Handle()), Instance(), IDB_MAKER_LOGO, WindowDpi(Handle()));
}

void ShowAboutBox(HINSTANCE instance, HWND owner, const std::wstring& programVersion,
                  const char* ndiVersionDescription) {
    CAboutDlg dialog(instance, programVersion, ndiVersionDescription);
    dialog.RunModal(owner);
}

}  // namespace cuewire
