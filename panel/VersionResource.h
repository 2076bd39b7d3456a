#pragma once
#include <array>
#include <cstdint>
#include <span>

namespace cuewire {

// The file version of a program's own version resource (a VS_VERSIONINFO
// block as the resource compiler writes it): major, minor, build, revision.
// Read straight from the resource, so the program needs no helper library to
// know its version. False, with `version` untouched, for a block that is too
// short, names another key, or lacks the fixed part's signature.
bool ReadFixedFileVersion(std::span<const uint8_t> block, std::array<uint16_t, 4>& version);

}  // namespace cuewire
