#pragma once
#include <windows.h>

namespace cuewire {

// The work area of the monitor that holds most of `window`; the primary
// monitor's when the window's cannot be asked.
RECT WorkAreaOf(HWND window);

}  // namespace cuewire
