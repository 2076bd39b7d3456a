#pragma once
#include <cstdint>

namespace cuewire {

// Resamples all four channels of a packed 32-bit image by area averaging: each
// destination pixel is the mean of the source area it covers, weighted by
// coverage. Returns false when its scratch memory cannot be allocated.
bool AreaResample(const uint32_t* source, int sourceWidth, int sourceHeight, uint32_t* dest,
                  int destWidth, int destHeight);

}  // namespace cuewire
