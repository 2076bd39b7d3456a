#pragma once
#include <windows.h>

// The display scale a window is drawn at. The per-monitor functions exist only
// from Windows 10 on, so they are looked up at run time; older systems get the
// system's own DPI, which then holds for every window. UI thread only.

namespace cuewire {

// Every DPI read here is one the platform can report (ClampDpi): a failed call
// or a forged message never sizes a picture for a scale no screen has.

// The window's DPI (96 at a scale of 100 %).
int WindowDpi(HWND window);

// The DPI the system's own metrics and stock objects were made for.
int SystemDpi();

// The new DPI a WM_DPICHANGED carries.
int DpiOfChange(WPARAM wParam);

// Moves and sizes `window` to the rectangle a WM_DPICHANGED suggests.
void TakeSuggestedRect(HWND window, const RECT& suggested);

// A system metric (SM_CXEDGE, SM_CXICON, ...) as it is at `dpi`.
int SystemMetricForDpi(int index, int dpi);

// Keeps the dialog manager from replacing a control's font when the window
// moves to a monitor of another scale: the owner rebuilds that font itself.
void KeepOwnFontOnDpiChange(HWND control);

}  // namespace cuewire
