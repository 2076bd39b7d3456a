#include "link/win/RegisteredMessageBus.h"

namespace cuewire {

void CRegisteredMessageBus::Post(uint64_t code, int64_t value) {
    // Fire and forget: a window whose queue is full simply misses the message.
    PostMessageW(HWND_BROADCAST, m_nMessage, static_cast<WPARAM>(code), static_cast<LPARAM>(value));
}

}  // namespace cuewire
