#include "panel/VideoModes.h"

#include <cstdio>

#include "panel/Text.h"

namespace cuewire {

FrameSize ResolutionFor(int32_t index) {
    return index == 1 ? kResolutions[1] : kResolutions[0];
}

FrameRate FrameRateFor(int32_t index) {
    return index >= 0 && index <= 2 ? kFrameRates[index] : kFrameRates[0];
}

std::u16string ModeLabel(int32_t width, int32_t height, int32_t rateN, int32_t rateD) {
    const float fps = rateD != 0 ? static_cast<float>(rateN) / static_cast<float>(rateD) : 0.0f;
    char text[64];
    std::snprintf(text, sizeof text, "%d x %d - %2.2f fps", width, height,
                  static_cast<double>(fps));
    return AsciiToUtf16(text);
}

OutputMode ModeFor(int32_t resolution, int32_t rate, bool alpha) {
    const FrameSize size = ResolutionFor(resolution);
    const FrameRate frameRate = FrameRateFor(rate);
    return {size.width, size.height, frameRate.numerator, frameRate.denominator, alpha};
}

}  // namespace cuewire
