#pragma once
#include <cstddef>
#include <cstdint>

namespace cuewire {

// Where the output's large pixel blocks come from: the two frame buffers, and
// (through an allocator of their own) the drawing surfaces' buffers and the
// preview buffer. Each is taken once and kept, sized for the largest frame, so
// a block must cost nothing until it is written: the system hands it over as
// zero pages, and the output writes only as much of it as the current mode
// uses. UI thread only.
class IPixelBlockAllocator {
  public:
    virtual ~IPixelBlockAllocator() = default;
    // `words` 32-bit words, all zero, or null when there is no memory for them.
    // Nothing here writes them: untouched pages stay the system's zero pages.
    virtual uint32_t* Allocate(size_t words) = 0;
    // Takes back a block from Allocate; null is ignored.
    virtual void Free(uint32_t* buffer) = 0;
};

// The C library's: calloc, which takes a large block straight from the system
// as zero pages instead of clearing it. Never throws.
class CHeapPixelBlockAllocator final : public IPixelBlockAllocator {
  public:
    uint32_t* Allocate(size_t words) override;
    void Free(uint32_t* buffer) override;
};

}  // namespace cuewire
