#include "win32/WindowDpi.h"

#include "geometry/DisplayScale.h"

namespace cuewire {

namespace {

template <typename Function>
Function User32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    // The cast through a generic function pointer keeps compilers quiet about
    // converting between unrelated function types.
    return user32 ? reinterpret_cast<Function>(
                        reinterpret_cast<void (*)()>(GetProcAddress(user32, name)))
                  : nullptr;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using SetDialogControlDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);

constexpr int kDisableFontUpdate = 1;  // DCDC_DISABLE_FONT_UPDATE

}  // namespace

int SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return ClampDpi(dpi);
}

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi > 0 ? ClampDpi(static_cast<int>(dpi)) : SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
    static const auto forDpi =
        User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi) {
        return forDpi(index, static_cast<UINT>(dpi));
    }
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

int DpiOfChange(WPARAM wParam) {
    return ClampDpi(LOWORD(wParam));
}

void KeepOwnFontOnDpiChange(HWND control) {
    static const auto setBehavior = User32Function<SetDialogControlDpiChangeBehaviorFunction>(
        "SetDialogControlDpiChangeBehavior");
    if (setBehavior && control) {
        setBehavior(control, kDisableFontUpdate, kDisableFontUpdate);
    }
}

void TakeSuggestedRect(HWND window, const RECT& suggested) {
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace cuewire
