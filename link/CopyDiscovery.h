#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "link/LinkBus.h"
#include "link/NumberClaims.h"
#include "link/ReplyThrottle.h"

namespace cuewire {

// Copy discovery: which 0-based numbers other copies have answered with, and
// the claim of the lowest number left.
class CDiscovery {
  public:
    static constexpr int kTableSize = 32;
    static constexpr int kMaxCopies = 8;

    // Clears the table, records the process id and asks every copy for its number.
    void Start(ILinkBus& bus, uint32_t processId);
    // Records replies and answers other copies' requests with `heldNumber`.
    // A copy that holds no number answers nothing: any answer would mark a
    // number taken that it does not hold. A request whose value cannot be a
    // process id comes from no copy; a requester answered less than a quiet
    // period ago is not answered again (CReplyThrottle).
    void HandleMessage(ILinkBus& bus, uint64_t code, int64_t value,
                       std::optional<int32_t> heldNumber, uint64_t nowMilliseconds);
    // Claims the lowest number whose claim succeeds and returns it;
    // kMaxCopies when none of 0 to 7 could be had. Replies play no part: a
    // number a reply marks taken whose claim is free is held by nobody.
    int32_t ClaimFreeNumber(INumberClaims& claims) const;

    // A reply with this number has arrived. Beside a failed claim, it tells a
    // copy holding the number from anything else holding the claim.
    bool IsTaken(int32_t number) const {
        return number >= 0 && number < kTableSize && m_nTaken[number] == 1;
    }
    uint32_t ProcessId() const { return m_dwProcessId; }

  private:
    uint32_t m_dwProcessId = 0;
    std::array<int32_t, kTableSize> m_nTaken{};
    CReplyThrottle m_throttle;
};

}  // namespace cuewire
