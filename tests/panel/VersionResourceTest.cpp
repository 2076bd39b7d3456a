#include "panel/VersionResource.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace cuewire {
namespace {

void PutWord(std::vector<uint8_t>& block, size_t at, uint16_t value) {
    block[at] = static_cast<uint8_t>(value);
    block[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutDoubleWord(std::vector<uint8_t>& block, size_t at, uint32_t value) {
    PutWord(block, at, static_cast<uint16_t>(value));
    PutWord(block, at + 2, static_cast<uint16_t>(value >> 16));
}

// A VS_VERSIONINFO root as the resource compiler lays it out for 1.2.3.4: the
// header, the key, padding to 40, the 52-byte fixed part, then a child block
// (here just bytes) that the reader must not mind.
std::vector<uint8_t> VersionBlock() {
    std::vector<uint8_t> block(40 + 52 + 16, 0xCC);
    PutWord(block, 0, static_cast<uint16_t>(block.size()));
    PutWord(block, 2, 52);
    PutWord(block, 4, 0);
    const std::u16string key = u"VS_VERSION_INFO";
    for (size_t i = 0; i <= key.size(); ++i) {
        PutWord(block, 6 + 2 * i, i < key.size() ? key[i] : 0);
    }
    PutWord(block, 38, 0);
    std::fill(block.begin() + 40, block.begin() + 92, 0);
    PutDoubleWord(block, 40, 0xFEEF04BD);
    PutDoubleWord(block, 44, 0x00010000);
    PutDoubleWord(block, 48, 0x00010002);  // file version 1.2
    PutDoubleWord(block, 52, 0x00030004);  // .3.4
    PutDoubleWord(block, 56, 0x00090009);  // product version, not the file's
    PutDoubleWord(block, 60, 0x00090009);
    return block;
}

TEST(VersionResource, ReadsTheFileVersionAndRefusesWhatIsNotAVersionBlock) {
    struct Case {
        const char* name;
        void (*spoil)(std::vector<uint8_t>&);
        bool readable;
    };
    const Case cases[] = {
        {"as the resource compiler writes it", [](std::vector<uint8_t>&) {}, true},
        {"no bytes", [](std::vector<uint8_t>& b) { b.clear(); }, false},
        {"cut inside the header", [](std::vector<uint8_t>& b) { b.resize(5); }, false},
        {"cut inside the key", [](std::vector<uint8_t>& b) { b.resize(20); }, false},
        {"cut inside the fixed part", [](std::vector<uint8_t>& b) { b.resize(80); }, false},
        {"a length beyond the resource",
         [](std::vector<uint8_t>& b) { PutWord(b, 0, static_cast<uint16_t>(b.size() + 1)); },
         false},
        {"a length that ends inside the fixed part", [](std::vector<uint8_t>& b) { PutWord(b, 0, 80); },
         false},
        {"a value shorter than the fixed part", [](std::vector<uint8_t>& b) { PutWord(b, 2, 51); },
         false},
        {"another key", [](std::vector<uint8_t>& b) { PutWord(b, 6, u'W'); }, false},
        {"a key without its terminating zero", [](std::vector<uint8_t>& b) { PutWord(b, 36, u'X'); },
         false},
        {"a wrong signature", [](std::vector<uint8_t>& b) { PutDoubleWord(b, 40, 0xFEEF04BC); },
         false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> block = VersionBlock();
        c.spoil(block);
        std::array<uint16_t, 4> version = {7, 7, 7, 7};
        EXPECT_EQ(ReadFixedFileVersion(block, version), c.readable) << c.name;
        const std::array<uint16_t, 4> expected =
            c.readable ? std::array<uint16_t, 4>{1, 2, 3, 4} : std::array<uint16_t, 4>{7, 7, 7, 7};
        EXPECT_EQ(version, expected) << c.name;
    }
}

}  // namespace
}  // namespace cuewire
