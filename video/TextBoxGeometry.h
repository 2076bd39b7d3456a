#pragma once
#include <cstdint>

namespace cuewire {

// Where the text box sits in a frame; every division truncates toward zero.
struct TextBoxGeometry {
    int32_t width, height, x, y, bottomMargin;
    static TextBoxGeometry For(int32_t frameWidth, int32_t frameHeight) {
        const int32_t w = frameWidth * 6 / 7;
        const int32_t h = frameHeight / 6;
        const int32_t margin = frameHeight / 15;
        return {w, h, (frameWidth - w) / 2, frameHeight - h - margin, margin};
    }
};

}  // namespace cuewire
