#pragma once
#include <string_view>

#include "link/LinkBus.h"

namespace cuewire {

// A text goes out as its begin marker, one message per UTF-16 code unit and
// its end marker; taking the text off is one message.
void PostTextTransfer(ILinkBus& bus, std::u16string_view text);
void PostTextClear(ILinkBus& bus);

}  // namespace cuewire
