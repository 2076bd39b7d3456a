#include "geometry/DisplayScale.h"

#include <gtest/gtest.h>

#include <limits>

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

TEST(DisplayScale, ADpiNoScreenHasIsClampedToWhatWindowsCanReport) {
    struct Case {
        int dpi, expected;
    };
    const Case cases[] = {
        {96, 96},   {120, 120},     {144, 144}, {480, 480},       // what Windows reports
        {0, 96},    {95, 96},       {-1, 96},   {-65535, 96},     // a failed call, forged values
        {481, 480}, {65535, 480},   {std::numeric_limits<int>::max(), 480},
        {std::numeric_limits<int>::min(), 96},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClampDpi(c.dpi), c.expected) << c.dpi;
    }
    // A forged WM_DPICHANGED of 65535 asked for a 436,900 x 245,756 picture from
    // a 640 x 360 one (about 429 GB); clamped, it gets the 500 % size.
    EXPECT_EQ(ScaleForDpi(640, 65535), 436900);
    EXPECT_EQ(ScaleForDpi(640, ClampDpi(65535)), 3200);
    EXPECT_EQ(ScaleForDpi(360, ClampDpi(65535)), 1800);
}

}  // namespace
}  // namespace cuewire
