#include "video/PixelBlockAllocator.h"

#include <cstdlib>

namespace cuewire {

uint32_t* CHeapPixelBlockAllocator::Allocate(size_t words) {
    // Not new T[n](): that would write every page of the block.
    return static_cast<uint32_t*>(std::calloc(words == 0 ? 1 : words, sizeof(uint32_t)));
}

void CHeapPixelBlockAllocator::Free(uint32_t* buffer) {
    std::free(buffer);
}

}  // namespace cuewire
