#include "link/win/MachineNumberClaims.h"

namespace cuewire {

bool CMachineNumberClaims::Claim(int32_t number) {
    if (number < 0 || number >= CDiscovery::kMaxCopies) {
        return false;
    }
    HANDLE& claim = m_hClaims[static_cast<size_t>(number)];
    if (claim) {
        return true;
    }
    const std::u16string name = NumberClaimName(number);
    HANDLE created = CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(name.c_str()));
    if (!created) {
        // The name is in use by another kind of object, or by another user's
        // copy whose mutex we may not open.
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(created);  // held by another copy, or squatted
        return false;
    }
    claim = created;
    return true;
}

void CMachineNumberClaims::ReleaseAll() {
    for (HANDLE& claim : m_hClaims) {
        if (claim) {
            CloseHandle(claim);
            claim = nullptr;
        }
    }
}

}  // namespace cuewire
