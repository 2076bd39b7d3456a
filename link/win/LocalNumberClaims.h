#pragma once
#include <windows.h>

#include <array>

#include "link/LinkProtocol.h"
#include "link/NumberClaims.h"

namespace cuewire {

// Copy numbers claimed as named objects in the desktop session's local
// namespace: creating a name that already exists fails the claim, so of copies
// that claim one number at once exactly one gets it. Each claim's handle is
// held until this object ends; the system closes it too if the process dies.
class CLocalNumberClaims final : public INumberClaims {
  public:
    CLocalNumberClaims() = default;
    ~CLocalNumberClaims() override;
    CLocalNumberClaims(const CLocalNumberClaims&) = delete;
    CLocalNumberClaims& operator=(const CLocalNumberClaims&) = delete;

    bool Claim(int32_t number) override;

  private:
    std::array<HANDLE, CDiscovery::kMaxCopies> m_hClaims{};  // owned; null where not held
};

}  // namespace cuewire
