#include "controls/FaceLayout.h"

#include <gtest/gtest.h>

namespace cuewire {
namespace {

TEST(FaceLayout, FillIndexPicksAnEntryOnlyForStatesInsideTheTable) {
    struct Case {
        int state, fillCount, expected;
    };
    const Case cases[] = {
        {0, 5, -1}, {1, 5, 1}, {2, 5, 2}, {4, 5, 4}, {5, 5, -1}, {-1, 5, -1}, {6, 7, 6}, {7, 7, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FillIndex(c.state, c.fillCount), c.expected)
            << "state " << c.state << " of " << c.fillCount;
    }
}

TEST(FaceLayout, CaptionIsCentredByTruncatingHalves) {
    struct Case {
        Rect face;
        int width, height;
        bool pressed;
        int dpi;
        CaptionOrigin expected;
    };
    const Case cases[] = {
        // A 45 x 14 DLU button face of 64 x 20 pixels after the edge, "Go live".
        {{2, 2, 66, 22}, 33, 13, false, 96, {34 - 16, 12 - 6}},
        // Held down: one pixel right and one down at 96 DPI, two at 144 and 192
        // (1.5 rounds up) and at 240 three (2.5 rounds up).
        {{2, 2, 66, 22}, 33, 13, true, 96, {34 - 16 + 1, 12 - 6 + 1}},
        {{3, 3, 99, 33}, 50, 20, true, 144, {51 - 25 + 2, 18 - 10 + 2}},
        {{4, 4, 132, 44}, 66, 26, true, 192, {68 - 33 + 2, 24 - 13 + 2}},
        {{4, 4, 132, 44}, 66, 26, true, 240, {68 - 33 + 3, 24 - 13 + 3}},
        // Not held down, the scale moves nothing.
        {{3, 3, 99, 33}, 50, 20, false, 144, {51 - 25, 18 - 10}},
        // Odd sizes: both halves truncate.
        {{0, 0, 31, 17}, 11, 9, false, 96, {15 - 5, 8 - 4}},
        // A caption wider than the face starts left of it.
        {{0, 0, 30, 21}, 50, 13, false, 96, {-10, 4}},
        // Negative sums truncate toward zero, not down: -3 / 2 is -1.
        {{-3, -3, 0, 0}, 0, 0, false, 96, {-1, -1}},
    };
    for (const Case& c : cases) {
        const CaptionOrigin origin = CentredCaption(c.face, c.width, c.height, c.pressed, c.dpi);
        EXPECT_EQ(origin.x, c.expected.x) << c.dpi;
        EXPECT_EQ(origin.y, c.expected.y) << c.dpi;
    }
}

}  // namespace
}  // namespace cuewire
