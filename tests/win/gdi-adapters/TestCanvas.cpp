#include "TestCanvas.h"

#include <algorithm>

namespace cuewire::test {

Ink MeasureInk(const Canvas& canvas, int left, int right, int top, int bottom) {
    if (right < 0) {
        right = canvas.width;
    }
    if (bottom < 0) {
        bottom = canvas.height;
    }
    Ink ink;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const uint32_t p = canvas.At(x, y);
            if (p == 0) {
                continue;
            }
            const uint32_t b = p & 0xff, g = (p >> 8) & 0xff, r = (p >> 16) & 0xff;
            ++ink.inked;
            if (p == 0x00ffffff) {
                ++ink.white;
            } else if (b == g && g == r && (p >> 24) == 0) {
                ++ink.grey;
            }
            if (b != g || g != r || (p >> 24) != 0) {
                ++ink.nonNeutral;
            }
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = ink.top < 0 ? y : ink.top;
            ink.bottom = y;
        }
    }
    return ink;
}

GdiSnapshot GdiSnapshot::Take() {
    GdiSnapshot snapshot;
    for (int kind = 0; kind < static_cast<int>(GdiKind::kCount); ++kind) {
        snapshot.kinds[kind] = GdiCounts(static_cast<GdiKind>(kind));
    }
    return snapshot;
}

namespace {
constexpr wchar_t kClassName[] = L"CuewireGdiAdapterTestWindow";
}

HiddenWindow::HiddenWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
    m_hWnd = CreateWindowExW(0, kClassName, L"gdi adapters test", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                             100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
}

HiddenWindow::~HiddenWindow() {
    if (m_hWnd) {
        DestroyWindow(m_hWnd);
    }
}

LRESULT CALLBACK HiddenWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HiddenWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_SETTINGCHANGE && wParam == SPI_SETFONTSMOOTHING) {
        ++self->m_nSmoothingBroadcasts;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

}  // namespace cuewire::test
