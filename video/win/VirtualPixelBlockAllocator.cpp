#include "video/win/VirtualPixelBlockAllocator.h"

#include <windows.h>

#include <cstdint>

namespace cuewire {

uint32_t* CVirtualPixelBlockAllocator::Allocate(size_t words) {
    if (words > SIZE_MAX / sizeof(uint32_t)) {
        return nullptr;
    }
    const size_t bytes = (words == 0 ? 1 : words) * sizeof(uint32_t);
    return static_cast<uint32_t*>(
        VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void CVirtualPixelBlockAllocator::Free(uint32_t* buffer) {
    if (buffer) {
        VirtualFree(buffer, 0, MEM_RELEASE);
    }
}

}  // namespace cuewire
