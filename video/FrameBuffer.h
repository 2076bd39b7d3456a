#pragma once
#include <cstdint>

namespace cuewire {

// A frame buffer handed to the composer to fill: 32-bit pixels, rows of
// `width` words. Null pixels take nothing.
struct FrameBuffer {
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

}  // namespace cuewire
