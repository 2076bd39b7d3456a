#include "dialogs/win/SupportDialog.h"

#include <shellapi.h>

#include <new>

#include "dialogs/SupportPlacement.h"
#include "geometry/DisplayScale.h"
#include "res/WebPages.h"
#include "res/resource.h"
#include "video/win/ScaledPicture.h"
#include "win32/WindowDpi.h"
#include "win32/WorkArea.h"

namespace cuewire {

namespace {

constexpr int kShowTimer = 1;
constexpr int kShowMilliseconds = 9000;
constexpr int kHideTimer = 2;
constexpr int kHideMilliseconds = 10531;

// The large picture sits 10 pixels into the client area at 96 DPI; a bitmap
// picture control then takes the bitmap's own size.
constexpr int kPictureMargin = 10;
constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 360;

struct PageButton {
    int id;
    WebPage page;
};
constexpr PageButton kPageButtons[] = {
    {IDC_SUPPORT_SITE, WebPage::kMakerSite},
    {IDC_SUPPORT_SHOP, WebPage::kMakerShop},
    {IDC_SUPPORT_SOCIAL, WebPage::kMakerSocial},
    {IDC_SUPPORT_VIDEO, WebPage::kMakerVideo},
};

Rect WindowRectangle(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void MoveWindowTo(HWND window, ScreenPoint topLeft) {
    SetWindowPos(window, nullptr, topLeft.x, topLeft.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

std::unique_ptr<CSupportDialog> CSupportDialog::Create(HINSTANCE instance, HWND parent) noexcept {
    return std::unique_ptr<CSupportDialog>(new (std::nothrow) CSupportDialog(instance, parent));
}

CSupportDialog::CSupportDialog(HINSTANCE instance, HWND parent)
    : CDialogWindow(instance, IDD_SUPPORT), m_hParent(parent) {
}

CSupportDialog::~CSupportDialog() {
    // The window goes before the pictures it shows, and while this object can
    // still take its last messages.
    if (Handle()) {
        DestroyWindow(Handle());
    }
}

void CSupportDialog::ShowBesidePanel(HWND panel) {
    if (Handle()) {
        return;
    }
    const Rect panelBefore = WindowRectangle(panel);
    const RECT work = WorkAreaOf(panel);
    const Rect workArea = {work.left, work.top, work.right, work.bottom};
    const int dpi = WindowDpi(panel);
    // The panel's new place is known before the dialog exists; its own depends
    // on the dialog's size.
    MoveWindowTo(panel, PlaceBesidePanel(panelBefore, {}, workArea, dpi).panelTopLeft);
    if (!CreateModeless(m_hParent)) {
        return;
    }
    const Rect dialog = WindowRectangle(Handle());
    MoveWindowTo(Handle(), PlaceBesidePanel(panelBefore, dialog, workArea, dpi).dialogTopLeft);
    ShowWindow(Handle(), SW_SHOWNORMAL);
}

INT_PTR CSupportDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_DPICHANGED:
            OnDpiChanged(DpiOfChange(wParam), *reinterpret_cast<const RECT*>(lParam));
            return FALSE;  // the dialog manager still lays out the template's controls
        case WM_TIMER:
            OnTimer(wParam);
            return TRUE;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

void CSupportDialog::OnInitDialog() {
    const int dpi = WindowDpi(Handle());
    const int margin = ScaleForDpi(kPictureMargin, dpi);
    m_hPicture =
        CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, margin, margin,
                        ScaleForDpi(kPictureWidth, dpi), ScaleForDpi(kPictureHeight, dpi), Handle(),
                        nullptr, Instance(), nullptr);
    // A picture that cannot be loaded leaves the control empty.
    m_firstPicture.Reset(LoadPictureForDpi(Instance(), IDB_SHOP, dpi));
    ShowPicture(m_firstPicture.Get());
    ShowLogos(dpi);
    StartTimer(kShowTimer, kShowMilliseconds);
}

void CSupportDialog::ShowLogos(int dpi) {
    m_socialLogo.Show(Control(IDC_SUPPORT_SOCIAL), Instance(), IDB_SOCIAL_LOGO, dpi);
    m_videoLogo.Show(Control(IDC_SUPPORT_VIDEO), Instance(), IDB_VIDEO_LOGO, dpi);
}

// On a monitor of another scale: the size the system suggests, and the
// pictures again at that scale.
void CSupportDialog::OnDpiChanged(int dpi, const RECT& suggested) {
    TakeSuggestedRect(Handle(), suggested);
    if (m_hPicture) {
        const int margin = ScaleForDpi(kPictureMargin, dpi);
        SetWindowPos(m_hPicture, nullptr, margin, margin, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (const HBITMAP picture = LoadPictureForDpi(Instance(), IDB_SHOP, dpi)) {
        // The picture shown so far is released only after the control lets go of it.
        ShowPicture(picture);
        m_firstPicture.Reset(picture);
    }
    ShowLogos(dpi);
}

void CSupportDialog::OnTimer(UINT_PTR id) {
    if (id == kShowTimer) {
        ShowPicture(m_firstPicture.Get());
        StartTimer(kHideTimer, kHideMilliseconds);
        StopTimer(kShowTimer);
    } else if (id == kHideTimer) {
        ShowWindow(Handle(), SW_HIDE);
        StopTimer(kHideTimer);
    }
}

bool CSupportDialog::OnCommand(int id) {
    if (id == IDOK || id == IDCANCEL) {
        // Hidden for good: nothing shows the window again.
        ShowWindow(Handle(), SW_HIDE);
        return true;
    }
    for (const PageButton& button : kPageButtons) {
        if (button.id == id) {
            // What the desktop does with the address is its business; failures are ignored.
            ShellExecuteW(Handle(), L"open", WebAddress(button.page), nullptr, nullptr,
                          SW_SHOWNORMAL);
            return true;
        }
    }
    return false;
}

void CSupportDialog::ShowPicture(HBITMAP picture) {
    if (!m_hPicture) {
        return;
    }
    GivePicture(m_hPicture, picture, {m_firstPicture.Get()});
}

}  // namespace cuewire
