#pragma once
#include <windows.h>

// The display scale a window is drawn at. The per-monitor functions exist only
// from Windows 10 on, so they are looked up at run time; older systems get the
// system's own DPI, which then holds for every window. UI thread only.

namespace cuewire {

// The window's DPI (96 at a scale of 100 %).
int WindowDpi(HWND window);

// The DPI the system's own metrics and stock objects were made for.
int SystemDpi();

// A system metric (SM_CXEDGE, SM_CXICON, ...) as it is at `dpi`.
int SystemMetricForDpi(int index, int dpi);

// Keeps the dialog manager from replacing a control's font when the window
// moves to a monitor of another scale: the owner rebuilds that font itself.
void KeepOwnFontOnDpiChange(HWND control);

}  // namespace cuewire
