#pragma once

namespace cuewire {

// Blocks the UI thread for a while; the output paces itself with it.
class IWait {
  public:
    virtual ~IWait() = default;
    virtual void Wait(int milliseconds) = 0;
};

}  // namespace cuewire
