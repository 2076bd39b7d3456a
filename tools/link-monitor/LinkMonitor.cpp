// link-monitor [SECONDS]: prints every message of Cuewire's link as it arrives,
// one flushed line each:
//
//   listening                 once, when the window is ready for broadcasts
//   code <n> value <v>        every message (value as a signed number)
//   text <UTF-8 text>         a completed transfer, at its end message (code 10)
//   clear                     the output no longer shows text (code 11)
//
// With SECONDS it exits after that long. Broadcasts reach only top-level windows,
// so the monitor listens with a hidden one (a message-only window gets none).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32/WideText.h"
#include "link/LinkCodes.h"

namespace {

constexpr UINT_PTR kStopTimer = 1;

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Rebuilds the texts from a stream of link messages; keeps no state between
// transfers beyond the one being received.
class CTranscript {
  public:
    void OnMessage(uint64_t code, int64_t value) {
        PrintLine("code " + std::to_string(code) + " value " + std::to_string(value));
        switch (code) {
            case cuewire::kLinkTextBegin:
                m_text.clear();
                break;
            case cuewire::kLinkTextChar:
                m_text.push_back(static_cast<wchar_t>(value & 0xffff));
                break;
            case cuewire::kLinkTextEnd:
                PrintLine("text " + cuewire::ToUtf8(m_text));
                m_text.clear();
                break;
            case cuewire::kLinkTextClear:
                PrintLine("clear");
                break;
            default:
                break;
        }
    }

  private:
    std::wstring m_text;
};

struct MonitorWindow {
    UINT linkMessage;
    CTranscript transcript;
};

LRESULT CALLBACK MonitorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MonitorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (self && message == self->linkMessage) {
        self->transcript.OnMessage(static_cast<uint64_t>(wParam), static_cast<int64_t>(lParam));
        return 0;
    } else if (message == WM_TIMER && wParam == kStopTimer) {
        DestroyWindow(window);
        return 0;
    } else if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    MonitorWindow monitor{
        RegisterWindowMessageW(reinterpret_cast<const wchar_t*>(cuewire::kLinkMessageName)), {}};
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 0;

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = MonitorProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"CuewireLinkMonitor";
    if (!RegisterClassW(&windowClass)) {
        std::fprintf(stderr, "link-monitor: cannot register the window class\n");
        return 1;
    }
    // Top-level and never shown: it receives broadcasts without appearing.
    const HWND window =
        CreateWindowExW(0, windowClass.lpszClassName, L"Cuewire link monitor", WS_OVERLAPPED, 0, 0,
                        0, 0, nullptr, nullptr, instance, &monitor);
    if (!window) {
        std::fprintf(stderr, "link-monitor: cannot create its window\n");
        return 1;
    }
    if (seconds > 0) {
        SetTimer(window, kStopTimer, static_cast<UINT>(seconds) * 1000, nullptr);
    }
    PrintLine("listening");

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
