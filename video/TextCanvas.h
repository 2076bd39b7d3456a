#pragma once
#include <cstdint>
#include <string_view>

namespace cuewire {

enum class CanvasResult {
    kNoCanvas,    // no canvas could be made: the pixels are untouched
    kIncomplete,  // drawn, but the read-back did not deliver every pixel
    kDrawn,       // every pixel of the canvas was read back
};

// Draws one line of white anti-aliased text on black (all-zero) into 32-bit
// pixels, centred both ways in width x height and cut at the edges when too long.
class ITextCanvas {
  public:
    virtual ~ITextCanvas() = default;
    virtual CanvasResult DrawLine(std::u16string_view text, int cellHeight, int width, int height,
                                  uint32_t* pixels) = 0;
};

}  // namespace cuewire
