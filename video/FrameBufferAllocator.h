#pragma once
#include <cstddef>
#include <cstdint>

namespace cuewire {

// Where the output's frame buffers come from. Each is taken once at start and
// kept for the whole run, so a failure here is the one moment the output can
// run out of memory. UI thread only.
class IFrameBufferAllocator {
  public:
    virtual ~IFrameBufferAllocator() = default;
    // `words` zero-filled 32-bit words, or null when there is no memory for them.
    virtual uint32_t* Allocate(size_t words) = 0;
    // Takes back a block from Allocate; null is ignored.
    virtual void Free(uint32_t* buffer) = 0;
};

// The program's own: the free store, without throwing.
class CHeapFrameBufferAllocator final : public IFrameBufferAllocator {
  public:
    uint32_t* Allocate(size_t words) override;
    void Free(uint32_t* buffer) override;
};

}  // namespace cuewire
