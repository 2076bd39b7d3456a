#pragma once
#include <windows.h>

namespace cuewire {

// The fills of a slot's mode button, by mode, and of its key label.
constexpr COLORREF kGoLiveModeFill = 0xB8B8FC;  // light red
constexpr COLORREF kCopyModeFill = 0xB8FCB8;    // light green
constexpr COLORREF kKeyLabelFill = 0xDCFCFC;    // light yellow

}  // namespace cuewire
