#pragma once
#include <cstdint>
#include <string>

namespace cuewire {

// Writes 32-bit pixels (bytes blue, green, red, alpha; rows top-down) as an
// 8-bit RGBA PNG, uncompressed (stored deflate blocks). With `opaque` the
// alpha byte is ignored and written as 255. False when the file cannot be written.
bool WritePng(const std::wstring& path, const uint8_t* pixels, int width, int height, int stride,
              bool opaque);

}  // namespace cuewire
