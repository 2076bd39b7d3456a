#include "video/AreaResample.h"

#include <gtest/gtest.h>

#include <vector>

namespace cuewire {
namespace {

TEST(AreaResample, AveragesEachChannelOverTheCoveredArea) {
    // 2 x 2 -> 1 x 1: every channel, alpha included, is the mean.
    const std::vector<uint32_t> source = {0x00000000, 0xff000000, 0x80402010, 0x40ff8040};
    uint32_t dest = 0;
    ASSERT_TRUE(AreaResample(source.data(), 2, 2, &dest, 1, 1));
    // alpha (0+255+128+64)/4 = 111.75 -> 112; red (0+0+64+255)/4 = 79.75 -> 80;
    // green (0+0+32+128)/4 = 40; blue (0+0+16+64)/4 = 20.
    EXPECT_EQ(dest, 0x70502814u);
}

TEST(AreaResample, WeighsPartlyCoveredPixelsByTheirCoverage) {
    // 3 -> 2 columns: the middle source pixel is split half and half.
    const std::vector<uint32_t> source = {0x000000ff, 0x00000000, 0x00000000};
    std::vector<uint32_t> dest(2);
    ASSERT_TRUE(AreaResample(source.data(), 3, 1, dest.data(), 2, 1));
    // First destination covers source 0 fully and 1 by half: 255 * 1 / 1.5 = 170.
    EXPECT_EQ(dest[0], 0x000000aau);
    EXPECT_EQ(dest[1], 0x00000000u);
}

TEST(AreaResample, KeepsAFlatPictureFlatAtAnyRatio) {
    for (const auto& [w, h] : {std::pair{1280, 720}, std::pair{1920, 1080}, std::pair{7, 3}}) {
        std::vector<uint32_t> source(480 * 270, 0x80c06030);
        std::vector<uint32_t> dest(static_cast<size_t>(w) * h, 0);
        ASSERT_TRUE(AreaResample(source.data(), 480, 270, dest.data(), w, h));
        for (uint32_t pixel : dest) {
            ASSERT_EQ(pixel, 0x80c06030u) << w << "x" << h;
        }
    }
}

TEST(AreaResample, RefusesEmptySizes) {
    uint32_t pixel = 0;
    EXPECT_FALSE(AreaResample(&pixel, 0, 1, &pixel, 1, 1));
    EXPECT_FALSE(AreaResample(&pixel, 1, 1, &pixel, 1, 0));
}

}  // namespace
}  // namespace cuewire
