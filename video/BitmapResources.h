#pragma once
#include <cstdint>
#include <vector>

namespace cuewire {

// A bitmap as the platform delivers it from the program's resources.
struct LoadedBitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;          // depth as delivered (32 on a 32-bit display)
    std::vector<uint32_t> pixels;  // width x height words, top-down; alpha 0 for a 24-bit resource

    bool Empty() const { return width == 0 || height == 0; }
};

class IBitmapResources {
  public:
    virtual ~IBitmapResources() = default;
    // False when the resource is missing or unreadable; `out` is then unchanged.
    virtual bool Load(int resourceId, LoadedBitmap& out) = 0;
};

}  // namespace cuewire
