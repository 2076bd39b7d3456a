#include "link/CopyDiscovery.h"

#include "link/LinkCodes.h"

namespace cuewire {

void CDiscovery::Start(ILinkBus& bus, uint32_t processId) {
    m_nTaken.fill(0);
    m_dwProcessId = processId;
    bus.Post(kLinkDiscoveryRequest, static_cast<int64_t>(processId));
}

void CDiscovery::HandleMessage(ILinkBus& bus, uint64_t code, int64_t value,
                               std::optional<int32_t> heldNumber, uint64_t now) {
    switch (code) {
        case kLinkDiscoveryRequest: {
            // Our own request comes back to us too; only other copies are answered.
            if (!heldNumber || value < 0 || value > int64_t{UINT32_MAX} ||
                value == static_cast<int64_t>(m_dwProcessId)) {
                break;
            }
            if (m_throttle.MayAnswer(static_cast<uint32_t>(value), now)) {
                bus.Post(kLinkNumberReply, static_cast<int64_t>(*heldNumber));
            }
            break;
        }
        case kLinkNumberReply:
            if (value >= 0 && value < kTableSize) {
                m_nTaken[static_cast<size_t>(value)] = 1;
            }
            break;
        default:
            break;
    }
}

int32_t CDiscovery::ClaimFreeNumber(INumberClaims& claims) const {
    // Only numbers up to kMaxCopies matter: past it the copy offers to exit.
    for (int32_t number = 0; number < kMaxCopies; ++number) {
        if (claims.Claim(number)) {
            return number;
        }
    }
    return kMaxCopies;
}

}  // namespace cuewire
