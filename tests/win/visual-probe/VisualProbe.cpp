// visual-probe COMMAND ARGS: the geometry and window commands the visual
// end-to-end test needs beside win-probe. Windows are named by handle (decimal).
//
//   rect HWND ID            screen rectangle of control ID (0: the window itself),
//                           "left top right bottom"
//   client HWND ID          the control's client area in screen pixels, same form
//   top-level TITLE-PREFIX  every top-level window whose title starts with the
//                           prefix, shown or hidden: "<hwnd> <visible 0|1>"
//   syscommand HWND CODE    posts WM_SYSCOMMAND with CODE (decimal) to the window
//   show HWND minimize|restore
//   children HWND           every visible child window: "<id> <class> left top right bottom"
//                           (screen pixels; id -1 for a control without one)
//   dpi HWND                the window's DPI, the system's and the primary screen's
//                           size: "<window> <system> <width> <height>"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win32/WideText.h"

namespace {

HWND ParseWindow(const char* text) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(std::strtoll(text, nullptr, 10)));
}

HWND ControlOf(HWND window, const char* id) {
    const int number = std::atoi(id);
    return number == 0 ? window : GetDlgItem(window, number);
}

int PrintRect(const RECT& rect) {
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

int PrintWindowRect(HWND window) {
    RECT rect = {};
    if (!window || !GetWindowRect(window, &rect)) {
        return 1;
    }
    return PrintRect(rect);
}

int PrintClientRect(HWND window) {
    RECT rect = {};
    if (!window || !GetClientRect(window, &rect)) {
        return 1;
    }
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return PrintRect(rect);
}

struct Search {
    std::wstring prefix;
    int found = 0;
};

BOOL CALLBACK ListMatching(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    if (std::wstring_view(title).starts_with(search->prefix)) {
        std::printf("%lld %d\n", static_cast<long long>(reinterpret_cast<intptr_t>(window)),
                    IsWindowVisible(window) ? 1 : 0);
        ++search->found;
    }
    return TRUE;
}

int ListTopLevel(const char* prefix) {
    Search search{cuewire::FromUtf8(prefix)};
    EnumWindows(ListMatching, reinterpret_cast<LPARAM>(&search));
    return search.found > 0 ? 0 : 1;
}

int Show(HWND window, const char* how) {
    const int command = std::strcmp(how, "minimize") == 0 ? SW_MINIMIZE : SW_RESTORE;
    // Asynchronous, so that a busy program does not hold the probe.
    ShowWindowAsync(window, command);
    return IsWindow(window) ? 0 : 1;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM parent) {
    if (GetParent(child) != reinterpret_cast<HWND>(parent) || !IsWindowVisible(child)) {
        return TRUE;  // grandchildren and hidden controls
    }
    RECT rect = {};
    GetWindowRect(child, &rect);
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    std::printf("%d %s %ld %ld %ld %ld\n", static_cast<short>(GetDlgCtrlID(child)),
                cuewire::ToUtf8(className).c_str(), rect.left, rect.top, rect.right, rect.bottom);
    return TRUE;
}

int ListChildren(HWND window) {
    if (!IsWindow(window)) {
        return 1;
    }
    EnumChildWindows(window, PrintChild, reinterpret_cast<LPARAM>(window));
    return 0;
}

int PrintDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto getDpi = reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const HDC screen = GetDC(nullptr);
    std::printf("%u %d %d %d\n", getDpi ? getDpi(window) : 0u, GetDeviceCaps(screen, LOGPIXELSY),
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    ReleaseDC(nullptr, screen);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: visual-probe rect|client|top-level|syscommand|show|children|dpi ...\n", stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "rect" && argc == 4) {
        return PrintWindowRect(ControlOf(ParseWindow(argv[2]), argv[3]));
    }
    if (command == "client" && argc == 4) {
        return PrintClientRect(ControlOf(ParseWindow(argv[2]), argv[3]));
    }
    if (command == "top-level" && argc == 3) {
        return ListTopLevel(argv[2]);
    }
    if (command == "syscommand" && argc == 4) {
        const WPARAM code = static_cast<WPARAM>(std::strtoul(argv[3], nullptr, 10));
        return PostMessageW(ParseWindow(argv[2]), WM_SYSCOMMAND, code, 0) ? 0 : 1;
    }
    if (command == "children" && argc == 3) {
        return ListChildren(ParseWindow(argv[2]));
    }
    if (command == "dpi" && argc == 3) {
        return PrintDpi(ParseWindow(argv[2]));
    }
    if (command == "show" && argc == 4) {
        return Show(ParseWindow(argv[2]), argv[3]);
    }
    std::fputs("visual-probe: unknown command\n", stderr);
    return 2;
}
