#pragma once
#include <windows.h>

#include "link/LinkBus.h"
#include "link/LinkCodes.h"

namespace cuewire {

// The link bus on the registered window message: every message goes to all
// top-level windows of the desktop, this process's own included.
class CRegisteredMessageBus final : public ILinkBus {
  public:
    // `message` is the number RegisterWindowMessageW gave for kLinkMessageName.
    explicit CRegisteredMessageBus(UINT message) : m_nMessage(message) {}

    void Post(uint64_t code, int64_t value) override;

  private:
    UINT m_nMessage;
};

}  // namespace cuewire
