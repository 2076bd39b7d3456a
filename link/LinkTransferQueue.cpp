#include "link/LinkTransferQueue.h"

#include <utility>

#include "link/TextTransfer.h"

namespace cuewire {

void PostLinkTransfer(ILinkBus& bus, const LinkTransfer& transfer) {
    if (transfer.clear) {
        PostTextClear(bus);
    } else {
        PostTextTransfer(bus, transfer.text);
    }
}

// The slot after the last waiting transfer; when the queue is full, that is
// the oldest one's. It is filled before Commit, so a copy that fails leaves
// the queue as it was.
LinkTransfer& CLinkTransferQueue::NextSlot() {
    return m_ring[(m_nFirst + m_nCount) % kCapacity];
}

bool CLinkTransferQueue::Commit() {
    if (m_nCount == kCapacity) {
        m_nFirst = (m_nFirst + 1) % kCapacity;
        ++m_nDropped;
        return false;
    }
    ++m_nCount;
    return true;
}

bool CLinkTransferQueue::PushText(std::u16string_view text) {
    LinkTransfer& slot = NextSlot();
    slot.text.assign(text);
    slot.clear = false;
    return Commit();
}

bool CLinkTransferQueue::PushClear() {
    LinkTransfer& slot = NextSlot();
    slot.text.clear();
    slot.clear = true;
    return Commit();
}

bool CLinkTransferQueue::TakeNext(LinkTransfer& next) {
    if (m_nCount == 0) {
        return false;
    }
    LinkTransfer& first = m_ring[m_nFirst];
    next.clear = first.clear;
    next.text.swap(first.text);
    m_nFirst = (m_nFirst + 1) % kCapacity;
    --m_nCount;
    return true;
}

}  // namespace cuewire
