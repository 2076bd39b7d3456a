#include "link/win/LocalNumberClaims.h"

namespace cuewire {

CLocalNumberClaims::~CLocalNumberClaims() {
    for (HANDLE claim : m_hClaims) {
        if (claim) {
            CloseHandle(claim);
        }
    }
}

bool CLocalNumberClaims::Claim(int32_t number) {
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
        return false;  // the name is in use by another kind of object, or access is denied
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(created);  // another copy holds this number
        return false;
    }
    claim = created;
    return true;
}

}  // namespace cuewire
