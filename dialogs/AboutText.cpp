#include "dialogs/AboutText.h"

namespace cuewire {

std::u16string NdiVersionNumber(std::u16string_view description) {
    const size_t lastBlank = description.rfind(u' ');
    if (lastBlank == std::u16string_view::npos) {
        return std::u16string(description);
    }
    return std::u16string(description.substr(lastBlank + 1));
}

std::u16string AboutVersionLine(std::u16string_view programVersion,
                                std::u16string_view ndiDescription, int wordBits) {
    std::u16string line = u"NDI\u00AE Cuewire, v";
    line += programVersion;
    line += u", NDI v";
    line += NdiVersionNumber(ndiDescription);
    line += u", x";
    for (const char digit : std::to_string(wordBits)) {
        line += static_cast<char16_t>(digit);
    }
    return line;
}

}  // namespace cuewire
