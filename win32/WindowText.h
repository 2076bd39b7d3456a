#pragma once
#include <windows.h>

#include <string>

namespace cuewire {

// A window's text; empty for no window or no text.
std::wstring WindowText(HWND window);

}  // namespace cuewire
