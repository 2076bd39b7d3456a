#pragma once
#include <cstdint>
#include <string>

namespace cuewire {

// Copy numbers held on the desktop. The discovery replies tell a starting copy
// which numbers answered copies hold, but copies whose requests cross see no
// replies from each other; a claim settles those: of several copies that claim
// the same number, however close together, exactly one gets it. UI thread only.
class INumberClaims {
  public:
    virtual ~INumberClaims() = default;
    // True when this copy now holds the 0-based `number`, for the rest of its
    // life; false when another copy holds it or the claim cannot be made.
    virtual bool Claim(int32_t number) = 0;
};

// The desktop-wide name that stands for a 0-based copy number: the session's
// local namespace, the link message's name and the number as shown (1 to 8).
std::u16string NumberClaimName(int32_t number);

}  // namespace cuewire
