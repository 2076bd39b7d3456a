#include "panel/VersionResource.h"

#include <cstddef>
#include <iterator>
#include <string_view>

namespace cuewire {

namespace {

constexpr char16_t kRootKey[] = u"VS_VERSION_INFO";
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr size_t kHeaderBytes = 6;       // wLength, wValueLength, wType
constexpr size_t kFixedInfoBytes = 52;   // VS_FIXEDFILEINFO

uint16_t Word(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t DoubleWord(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint32_t>(Word(bytes, at)) | (static_cast<uint32_t>(Word(bytes, at + 2)) << 16);
}

}  // namespace

bool ReadFixedFileVersion(std::span<const uint8_t> block, std::array<uint16_t, 4>& version) {
    if (block.size() < kHeaderBytes) {
        return false;
    }
    const size_t length = Word(block, 0);
    const size_t valueLength = Word(block, 2);
    if (length > block.size() || valueLength < kFixedInfoBytes) {
        return false;
    }
    const std::span<const uint8_t> own = block.first(length);
    // The key, with its terminating zero, follows the header.
    size_t at = kHeaderBytes;
    for (const char16_t expected : std::u16string_view(kRootKey, std::size(kRootKey))) {
        if (at + 2 > own.size() || Word(own, at) != expected) {
            return false;
        }
        at += 2;
    }
    // The fixed part starts on the next 32-bit boundary.
    at = (at + 3) & ~static_cast<size_t>(3);
    if (at + kFixedInfoBytes > own.size() || DoubleWord(own, at) != kFixedInfoSignature) {
        return false;
    }
    const uint32_t mostSignificant = DoubleWord(own, at + 8);
    const uint32_t leastSignificant = DoubleWord(own, at + 12);
    version = {static_cast<uint16_t>(mostSignificant >> 16),
               static_cast<uint16_t>(mostSignificant & 0xFFFF),
               static_cast<uint16_t>(leastSignificant >> 16),
               static_cast<uint16_t>(leastSignificant & 0xFFFF)};
    return true;
}

}  // namespace cuewire
