#pragma once
#include <cstdint>

#include "geometry/Rect.h"

namespace cuewire {

// What is known of a buffer's pixels without reading them: laid out as width x
// height, and transparent black everywhere outside `content`. Without pixels
// nothing is known.
struct KnownContent {
    const uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    Rect content;
    bool Describes(const uint32_t* buffer, int32_t w, int32_t h) const {
        return pixels && pixels == buffer && width == w && height == h;
    }
};

}  // namespace cuewire
