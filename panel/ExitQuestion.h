#pragma once
#include <string>

#include "link/CopyDiscovery.h"

namespace cuewire {

inline constexpr char16_t kExitQuestion[] = u"OK to exit?";

// The question of a copy that could claim no number. Held by copies on this
// desktop (each answered with its number) it is the plain question; when
// numbers are held with no answer for them, the question says which, and what
// may hold them, so that the operator does not look for copies that are not
// there. Copies started at the same moment answer nothing while they number
// themselves, so a number without an answer may still be a copy's.
std::u16string NoNumberQuestion(const CDiscovery& discovery);

}  // namespace cuewire
