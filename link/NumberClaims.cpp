#include "link/NumberClaims.h"

#include "link/LinkCodes.h"

namespace cuewire {

std::u16string NumberClaimName(int32_t number) {
    std::u16string name = u"Global\\";
    name += kLinkMessageName;
    name += u'-';
    for (char digit : std::to_string(number + 1)) {
        name += static_cast<char16_t>(digit);
    }
    return name;
}

}  // namespace cuewire
