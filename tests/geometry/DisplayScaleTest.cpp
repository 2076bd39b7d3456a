#include "geometry/DisplayScale.h"

#include <gtest/gtest.h>

namespace cuewire {
namespace {

TEST(DisplayScale, ScalesLikeMulDivAndLeavesEverySizeAloneAt96) {
    struct Case {
        int pixels, dpi, expected;
    };
    const Case cases[] = {
        {450, 96, 450}, {450, 144, 675},  {450, 192, 900}, {440, 120, 550},
        {10, 144, 15},  {10, 168, 18},    {640, 144, 960}, {27, 144, 41},  // 40.5 rounds up
        {1, 144, 2},    {1, 120, 1},      {0, 192, 0},     {-1, 144, -2},  // away from zero
        {-450, 144, -675},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleForDpi(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
    }
}

}  // namespace
}  // namespace cuewire
