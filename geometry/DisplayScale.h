#pragma once
// Every pixel size in the program is written for 96 DPI, the scale of 100 %,
// and scaled by the window's DPI where it is used, rounded as MulDiv rounds
// (halves away from zero). At 96 DPI every size is exactly the written one.

namespace cuewire {

inline constexpr int kBaseDpi = 96;

constexpr int ScaleForDpi(int pixelsAt96, int dpi) {
    const long long product = static_cast<long long>(pixelsAt96) * dpi;
    const long long half = kBaseDpi / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / kBaseDpi);
}

}  // namespace cuewire
