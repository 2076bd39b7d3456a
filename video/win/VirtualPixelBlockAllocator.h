#pragma once
#include "video/PixelBlockAllocator.h"

namespace cuewire {

// Pixel blocks straight from the system's virtual memory: committed pages read
// as zero and take no working set until they are first touched. A refusal
// returns null, never throws. The commit charge is the whole block.
class CVirtualPixelBlockAllocator final : public IPixelBlockAllocator {
  public:
    uint32_t* Allocate(size_t words) override;
    void Free(uint32_t* buffer) override;
};

}  // namespace cuewire
