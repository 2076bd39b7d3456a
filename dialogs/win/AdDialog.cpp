#include "dialogs/win/AdDialog.h"

#include <shellapi.h>

#include <new>

#include "app/WebAddresses.h"
#include "dialogs/SupportPlacement.h"
#include "res/resource.h"

namespace cuewire {

namespace {

constexpr int kShowTimer = 1;
constexpr int kShowMilliseconds = 9000;
constexpr int kHideTimer = 2;
constexpr int kHideMilliseconds = 10531;

// The large picture sits 10 pixels into the client area; a bitmap picture
// control then takes the bitmap's own size.
constexpr int kPictureMargin = 10;
constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 360;

ScreenRect WindowRectangle(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void MoveWindowTo(HWND window, ScreenPoint topLeft) {
    SetWindowPos(window, nullptr, topLeft.x, topLeft.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

std::unique_ptr<AdDialog> AdDialog::Create(HINSTANCE instance, HWND parent) noexcept {
    return std::unique_ptr<AdDialog>(new (std::nothrow) AdDialog(instance, parent));
}

AdDialog::AdDialog(HINSTANCE instance, HWND parent)
    : CDialogWindow(instance, IDD_SUPPORT), m_hParent(parent) {
}

AdDialog::~AdDialog() {
    // The window goes before the pictures it shows, and while this object can
    // still take its last messages.
    if (Handle()) {
        DestroyWindow(Handle());
    }
}

void AdDialog::ShowBesidePanel(HWND panel) {
    if (Handle()) {
        return;
    }
    const ScreenRect panelBefore = WindowRectangle(panel);
    // The panel's new place is known before the dialog exists; its own depends
    // on the dialog's size.
    MoveWindowTo(panel, PlaceBesidePanel(panelBefore, {}).panelTopLeft);
    if (!CreateModeless(m_hParent)) {
        return;
    }
    MoveWindowTo(Handle(), PlaceBesidePanel(panelBefore, WindowRectangle(Handle())).dialogTopLeft);
    ShowWindow(Handle(), SW_SHOWNORMAL);
}

INT_PTR AdDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_TIMER:
            OnTimer(wParam);
            return TRUE;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

void AdDialog::OnInitDialog() {
    m_hPicture = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP,
                                 kPictureMargin, kPictureMargin, kPictureWidth, kPictureHeight,
                                 Handle(), nullptr, Instance(), nullptr);
    // A picture that cannot be loaded leaves the control empty.
    m_firstPicture.Reset(static_cast<HBITMAP>(
        LoadImageW(Instance(), MAKEINTRESOURCEW(IDB_SHOP), IMAGE_BITMAP, 0, 0, 0)));
    // With mode 3 the second picture is neither loaded nor shown.
    ShowPicture(m_firstPicture.Get());
    StartTimer(kShowTimer, kShowMilliseconds);
}

void AdDialog::OnTimer(UINT_PTR id) {
    if (id == kShowTimer) {
        ShowPicture(m_firstPicture.Get());
        StartTimer(kHideTimer, kHideMilliseconds);
        StopTimer(kShowTimer);
    } else if (id == kHideTimer) {
        ShowWindow(Handle(), SW_HIDE);
        StopTimer(kHideTimer);
    }
}

bool AdDialog::OnCommand(int id) {
    const wchar_t* address = nullptr;
    switch (id) {
        case IDOK:
        case IDCANCEL:
            // Hidden for good: nothing shows the window again.
            ShowWindow(Handle(), SW_HIDE);
            return true;
        case IDC_SUPPORT_SITE:
            address = L"" CUEWIRE_URL_MAKER_SITE;
            break;
        case IDC_SUPPORT_SHOP:
            address = L"" CUEWIRE_URL_MAKER_SHOP;
            break;
        case IDC_SUPPORT_SOCIAL:
            address = L"" CUEWIRE_URL_MAKER_SOCIAL;
            break;
        case IDC_SUPPORT_VIDEO:
            address = L"" CUEWIRE_URL_MAKER_VIDEO;
            break;
        default:
            return false;
    }
    // What the desktop does with the address is its business; failures are ignored.
    ShellExecuteW(Handle(), L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}

void AdDialog::ShowPicture(HBITMAP picture) {
    if (!m_hPicture) {
        return;
    }
    const auto handedBack = reinterpret_cast<HBITMAP>(
        SendMessageW(m_hPicture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
    // The control may hand back a copy it made of an earlier image: that copy is ours
    // to release, but never the pictures we own.
    if (handedBack && handedBack != m_firstPicture.Get() && handedBack != m_secondPicture.Get()) {
        CBitmapObject copy(handedBack);
    }
}

}  // namespace cuewire
