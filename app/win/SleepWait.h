#pragma once
#include <windows.h>

#include "video/Wait.h"

namespace cuewire {

// The output's pauses block the UI thread on purpose: keys pressed meanwhile
// wait in the queue and are handled afterwards, in order.
class CSleepWait final : public IWait {
  public:
    void Wait(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
};

}  // namespace cuewire
