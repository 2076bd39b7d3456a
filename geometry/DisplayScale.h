#pragma once
// Every pixel size in the program is written for 96 DPI, the scale of 100 %,
// and scaled by the window's DPI where it is used, rounded as MulDiv rounds
// (halves away from zero). At 96 DPI every size is exactly the written one.

namespace cuewire {

inline constexpr int kBaseDpi = 96;
// Windows offers scales from 100 % to 500 % (its largest custom scale), so no
// monitor reports more than 480 DPI or less than 96.
inline constexpr int kMaxDpi = 480;

// A DPI as the platform can report it. Anything else (a zero from a failed
// call, a forged WM_DPICHANGED carrying 65535) would size pictures and fonts
// for a scale no screen has: a 65535 DPI asks for hundreds of gigabytes.
constexpr int ClampDpi(int dpi) {
    return dpi < kBaseDpi ? kBaseDpi : dpi > kMaxDpi ? kMaxDpi : dpi;
}

constexpr int ScaleForDpi(int pixelsAt96, int dpi) {
    const long long product = static_cast<long long>(pixelsAt96) * dpi;
    const long long half = kBaseDpi / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / kBaseDpi);
}

}  // namespace cuewire
