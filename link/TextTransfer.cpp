#include "link/TextTransfer.h"

#include "link/LinkCodes.h"

namespace cuewire {

void PostTextTransfer(ILinkBus& bus, std::u16string_view text) {
    bus.Post(kLinkTextBegin, kLinkMarker);
    // One message per code unit: a character outside the basic plane goes as
    // its two surrogates, in order.
    for (char16_t unit : text) {
        bus.Post(kLinkTextChar, static_cast<int64_t>(static_cast<uint16_t>(unit)));
    }
    bus.Post(kLinkTextEnd, kLinkMarker);
}

void PostTextClear(ILinkBus& bus) {
    bus.Post(kLinkTextClear, 0);
}

}  // namespace cuewire
