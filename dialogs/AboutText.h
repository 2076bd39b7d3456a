#pragma once
// The About box's version line: which program, which NDI runtime, which word size.
#include <climits>
#include <string>
#include <string_view>

namespace cuewire {

// The processor word size this build runs with, shown as "x64".
inline constexpr int kBuildWordBits = static_cast<int>(sizeof(void*) * CHAR_BIT);

// The runtime's version number within its version description: everything after
// the last blank, or the whole description when it has no blank.
std::u16string NdiVersionNumber(std::u16string_view description);

// "NDI® Cuewire, v<program>, NDI v<number>, x<bits>". An empty program version
// leaves the v followed directly by the comma.
std::u16string AboutVersionLine(std::u16string_view programVersion,
                                std::u16string_view ndiDescription, int wordBits = kBuildWordBits);

}  // namespace cuewire
