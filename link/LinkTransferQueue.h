#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "link/LinkBus.h"

namespace cuewire {

// One transfer of the text link: a text (begin, one message per code unit,
// end), or word that the output shows no text.
struct LinkTransfer {
    bool clear = false;
    std::u16string text;
};

// Posts one whole transfer.
void PostLinkTransfer(ILinkBus& bus, const LinkTransfer& transfer);

// Transfers waiting to be posted, oldest first. Under Wine a transfer costs a
// broadcast per code unit, minutes for a long text, so the panel hands them
// over here and whoever posts takes them in order, one whole transfer at a
// time. Not synchronised: its owner guards it.
class CLinkTransferQueue {
  public:
    // Enough for an operator hammering keys through the longest transfer.
    static constexpr size_t kCapacity = 16;

    // Queues a transfer. When the queue is full, the oldest waiting transfer
    // is dropped to make room and false is returned: every later transfer
    // describes the output more recently, so what a listener ends up with is
    // still what the output shows. Texts are copied into storage the queue
    // keeps, so steady use allocates nothing once it has grown.
    bool PushText(std::u16string_view text);
    bool PushClear();
    // Moves the oldest waiting transfer into `next` (swapping storage with
    // it); false when none waits.
    bool TakeNext(LinkTransfer& next);
    // Forgets every waiting transfer.
    void DropAll() { m_nCount = 0; }

    size_t Waiting() const { return m_nCount; }
    size_t Dropped() const { return m_nDropped; }

  private:
    LinkTransfer& NextSlot();
    bool Commit();

    std::array<LinkTransfer, kCapacity> m_ring;
    size_t m_nFirst = 0;
    size_t m_nCount = 0;
    size_t m_nDropped = 0;
};

}  // namespace cuewire
