// A neighbour that pretends to be copies of Cuewire:
//
//   link-forger [--replies N] [--squat K] [--seconds S]
//
// With N (default 8) it answers every discovery request on the link with the
// number replies of copies 1 to N, however often it is asked. With K (default
// 0) it first creates and holds the named objects that copies 1 to K claim
// their numbers with, as a squatter would. It ends after S seconds (default
// 600), or when its console is closed.
//
// Lines:
//   squatted <name>         each object it holds
//   listening               once its hidden window receives broadcasts
//   answered <value>        each request, with the requester's value
// Exit status: 0; 1 when an object could not be created or the window could
// not be made; 64 on bad usage.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "win32/WideText.h"
#include "link/CopyDiscovery.h"
#include "link/LinkCodes.h"
#include "tests/win/common/NumberOptions.h"

namespace {

constexpr UINT_PTR kStopTimer = 1;

struct Forger {
    UINT linkMessage = 0;
    long replies = 8;
};

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

LRESULT CALLBACK ForgerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* forger = reinterpret_cast<Forger*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (forger && message == forger->linkMessage) {
        if (static_cast<uint64_t>(wParam) == cuewire::kLinkDiscoveryRequest) {
            PrintLine("answered " + std::to_string(static_cast<int64_t>(lParam)));
            for (long number = 0; number < forger->replies; ++number) {
                PostMessageW(HWND_BROADCAST, forger->linkMessage, cuewire::kLinkNumberReply,
                             static_cast<LPARAM>(number));
            }
        }
        return 0;
    } else if (message == WM_TIMER && wParam == kStopTimer) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    long squat = 0;
    long seconds = 600;
    Forger forger;
    if (!cuewire::test_programs::ParseNumberOptions(
            argc, argv,
            {{"--replies", &forger.replies}, {"--squat", &squat}, {"--seconds", &seconds}}) ||
        forger.replies > cuewire::CDiscovery::kMaxCopies ||
        squat > cuewire::CDiscovery::kMaxCopies) {
        std::fprintf(stderr, "usage: link-forger [--replies N] [--squat K] [--seconds S]\n");
        return 64;
    }
    std::vector<HANDLE> held;  // kept until the process ends
    for (int32_t number = 0; number < squat; ++number) {
        const std::u16string name = cuewire::NumberClaimName(number);
        const HANDLE object =
            CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(name.c_str()));
        if (!object || GetLastError() == ERROR_ALREADY_EXISTS) {
            std::fprintf(stderr, "link-forger: cannot create %s (error %lu)\n",
                         cuewire::ToUtf8(reinterpret_cast<const wchar_t*>(name.c_str())).c_str(),
                         GetLastError());
            return 1;
        }
        held.push_back(object);
        PrintLine("squatted " + cuewire::ToUtf8(reinterpret_cast<const wchar_t*>(name.c_str())));
    }

    forger.linkMessage =
        RegisterWindowMessageW(reinterpret_cast<const wchar_t*>(cuewire::kLinkMessageName));
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ForgerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"CuewireLinkForger";
    // Top-level and never shown: broadcasts do not reach message-only windows.
    const HWND window =
        RegisterClassW(&windowClass)
            ? CreateWindowExW(0, windowClass.lpszClassName, L"Cuewire link forger", WS_OVERLAPPED,
                              0, 0, 0, 0, nullptr, nullptr, instance, &forger)
            : nullptr;
    if (!window) {
        std::fprintf(stderr, "link-forger: cannot create its window\n");
        return 1;
    }
    SetTimer(window, kStopTimer, static_cast<UINT>(seconds * 1000), nullptr);
    PrintLine("listening");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
