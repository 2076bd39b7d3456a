#pragma once
#include <cstdint>

namespace cuewire {

// Posts one message to every top-level window of the desktop, the sender's own
// included. Fire and forget: nothing waits and nothing is reported.
class ILinkBus {
  public:
    virtual ~ILinkBus() = default;
    virtual void Post(uint64_t code, int64_t value) = 0;
};

}  // namespace cuewire
