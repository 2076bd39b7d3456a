#pragma once
// The core keeps text as UTF-16 in std::u16string; Win32 wants wchar_t, which
// is a UTF-16 code unit on Windows. UTF-8 appears only at console and file edges.
#include <string>
#include <string_view>

namespace cuewire {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wchar_t is a UTF-16 code unit");

std::wstring ToWide(std::u16string_view text);
std::u16string FromWide(std::wstring_view text);
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace cuewire
