#include "win32/HandlerGuard.h"

namespace cuewire {

namespace {

const wchar_t* ReportText(CHandlerBarrier::Failure failure) {
    return failure == CHandlerBarrier::Failure::kOutOfMemory
               ? L"Cuewire ran out of memory and left one step undone.\n"
                 L"The output keeps its last frame."
               : L"Cuewire met an unexpected error and left one step undone.\n"
                 L"The output keeps its last frame.";
}

}  // namespace

CHandlerBarrier& ProcessHandlerBarrier() {
    static CHandlerBarrier barrier;
    return barrier;
}

void AskForFailureReport(HWND window) {
    static bool asked = false;
    const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    if (!asked && root) {
        asked = PostMessageW(root, kHandlerFailureReport, 0, 0) != FALSE;
    }
}

void ShowFailureReport(HWND owner) {
    const CHandlerBarrier::Failure failure = ProcessHandlerBarrier().TakeReport();
    if (failure != CHandlerBarrier::Failure::kNone) {
        MessageBoxW(owner, ReportText(failure), L"Cuewire", MB_OK | MB_ICONWARNING);
    }
}

}  // namespace cuewire
