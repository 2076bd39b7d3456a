#pragma once
#include <windows.h>

#include <array>

#include "link/CopyDiscovery.h"
#include "link/NumberClaims.h"

namespace cuewire {

// Copy numbers claimed as named mutexes in the machine's global namespace, so
// that copies in two desktop sessions never publish the same source name.
// Creating a mutex there needs no privilege (file mappings would). Creating a
// name that already exists fails the claim, so of copies that claim one number
// at once exactly one gets it; a name held by another user's copy cannot even
// be opened, which fails the claim the same way. Each claim's handle is held
// until ReleaseAll or this object's end; the system closes it too if the
// process dies.
class CMachineNumberClaims final : public INumberClaims {
  public:
    CMachineNumberClaims() = default;
    ~CMachineNumberClaims() override { ReleaseAll(); }
    CMachineNumberClaims(const CMachineNumberClaims&) = delete;
    CMachineNumberClaims& operator=(const CMachineNumberClaims&) = delete;

    bool Claim(int32_t number) override;
    void ReleaseAll() override;

  private:
    std::array<HANDLE, CDiscovery::kMaxCopies> m_hClaims{};  // owned; null where not held
};

}  // namespace cuewire
