#pragma once
#include <cstdint>

namespace cuewire {

// The registered message shared by every copy and by programs that listen to
// the text link. Every message carries a code and a value.
inline constexpr char16_t kLinkMessageName[] = u"Bryvo-UK-NDI-Cuewire";

enum LinkCode : uint64_t {
    kLinkDiscoveryRequest = 2,  // value: the asking process's id
    kLinkNumberReply = 3,       // value: the replying copy's 0-based number
    kLinkTextBegin = 8,         // value: kLinkMarker
    kLinkTextChar = 9,          // value: one UTF-16 code unit
    kLinkTextEnd = 10,          // value: kLinkMarker
    kLinkTextClear = 11,        // value: 0
};

constexpr int64_t kLinkMarker = 0x1122334455667788;

}  // namespace cuewire
