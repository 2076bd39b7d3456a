#include "panel/Text.h"

namespace cuewire {

std::u16string AsciiToUtf16(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

namespace {

// Unicode White_Space in the basic plane.
bool IsWhiteSpace(char16_t c) {
    return (c >= 0x09 && c <= 0x0d) || c == 0x20 || c == 0x85 || c == 0xa0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200a) || c == 0x2028 || c == 0x2029 || c == 0x202f ||
           c == 0x205f || c == 0x3000;
}

}  // namespace

void TrimWhiteSpace(std::u16string& text) {
    size_t end = text.size();
    while (end > 0 && IsWhiteSpace(text[end - 1])) {
        --end;
    }
    size_t begin = 0;
    while (begin < end && IsWhiteSpace(text[begin])) {
        ++begin;
    }
    text = text.substr(begin, end - begin);
}

}  // namespace cuewire
