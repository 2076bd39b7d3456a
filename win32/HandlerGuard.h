#pragma once
#include <windows.h>

#include <utility>

#include "win32/HandlerBarrier.h"

namespace cuewire {

// The process's one barrier: every window procedure of ours runs its handlers
// through it (GuardHandler). UI thread only.
CHandlerBarrier& ProcessHandlerBarrier();

// Posted to a dialog of ours after a handler failed; the dialog shows the
// report when the message arrives, outside the handler that failed (which may
// have been painting, or in the middle of a composition).
inline constexpr UINT kHandlerFailureReport = WM_APP + 0x2F0;

// Posts kHandlerFailureReport to `window`'s top-level window, once per process.
void AskForFailureReport(HWND window);

// Shows the first failure in a message box over `owner`, once per process; a
// forged report message before any failure shows nothing.
void ShowFailureReport(HWND owner);

// `handler`'s result, or `whenFailed` (the message goes to default processing)
// if it throws.
template <typename Handler, typename Result>
Result GuardHandler(HWND window, Handler&& handler, Result whenFailed) {
    CHandlerBarrier& barrier = ProcessHandlerBarrier();
    const int failuresBefore = barrier.Failures();
    Result result = barrier.Run(std::forward<Handler>(handler), std::move(whenFailed));
    if (barrier.Failures() != failuresBefore) {
        AskForFailureReport(window);
    }
    return result;
}

}  // namespace cuewire
