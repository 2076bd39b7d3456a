#include "video/FrameBufferAllocator.h"

#include <new>

namespace cuewire {

uint32_t* CHeapFrameBufferAllocator::Allocate(size_t words) {
    return new (std::nothrow) uint32_t[words]();
}

void CHeapFrameBufferAllocator::Free(uint32_t* buffer) {
    delete[] buffer;
}

}  // namespace cuewire
