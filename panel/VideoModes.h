#pragma once
#include <cstdint>
#include <string>

#include "video/Output.h"

namespace cuewire {

struct FrameSize {
    int32_t width, height;
};
struct FrameRate {
    int32_t numerator, denominator;
};

// The only modes the panel offers, indexed by the checked radio of each group.
// Rates are rational: 25 frames a second is 30000/1200.
inline constexpr FrameSize kResolutions[] = {{1280, 720}, {1920, 1080}};
inline constexpr FrameRate kFrameRates[] = {{30000, 1200}, {30000, 1001}, {30000, 1000}};

FrameSize ResolutionFor(int32_t index);
FrameRate FrameRateFor(int32_t index);
// The output mode of the checked radios.
OutputMode ModeFor(int32_t resolution, int32_t rate, bool alpha);
// "1920 x 1080 - 29.97 fps": the rate as a single-precision quotient.
std::u16string ModeLabel(int32_t width, int32_t height, int32_t rateN, int32_t rateD);

}  // namespace cuewire
