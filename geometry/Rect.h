#pragma once
#include <algorithm>
#include <cstdint>

namespace cuewire {

// A rectangle of pixels (of a frame, a control's face or the screen), right
// and bottom excluded as the platform's are; empty when either side is.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    // The smallest rectangle holding both; an empty one adds nothing.
    Rect Union(const Rect& other) const {
        if (Empty()) {
            return other;
        }
        if (other.Empty()) {
            return *this;
        }
        return {std::min(left, other.left), std::min(top, other.top),
                std::max(right, other.right), std::max(bottom, other.bottom)};
    }
};

}  // namespace cuewire
