#pragma once
#include <string>
#include <string_view>

namespace cuewire {

std::u16string AsciiToUtf16(std::string_view ascii);
// Removes white space from both ends, as the live text is trimmed after typing.
void TrimWhiteSpace(std::u16string& text);

}  // namespace cuewire
