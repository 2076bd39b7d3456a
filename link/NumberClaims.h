#pragma once
#include <cstdint>
#include <string>

namespace cuewire {

// Copy numbers held on the machine. A claim is the authority on who holds a
// number: of several copies that claim the same number, however close
// together, exactly one gets it, and a number whose claim is free is free
// whatever any message says. UI thread only.
class INumberClaims {
  public:
    virtual ~INumberClaims() = default;
    // True when this copy now holds the 0-based `number` until ReleaseAll or
    // its end; false when something else holds it or the claim cannot be made.
    virtual bool Claim(int32_t number) = 0;
    // Lets go of every number this copy holds, so that a copy started from
    // now on can take it; the process may live on for seconds after its window.
    virtual void ReleaseAll() = 0;
};

// The machine-wide name that stands for a 0-based copy number: NDI source
// names are machine-wide, so copies in different desktop sessions must not
// share a number. The global namespace, the link message's name and the number
// as shown (1 to 8).
std::u16string NumberClaimName(int32_t number);

}  // namespace cuewire
