#include "video/LineFit.h"

#include <gtest/gtest.h>

#include <limits>

namespace cuewire {
namespace {

struct FitCase {
    const char* what;
    int32_t cell;
    double lineWidth;
    int32_t boxWidth;
    int32_t expected;
};

TEST(FittedCellHeight, KeepsFittingLinesAndShrinksWideOnesDownToHalfTheCell) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const FitCase cases[] = {
        {"short line", 84, 300.0, 1097, 84},
        {"exactly the box", 84, 1097.0, 1097, 84},
        {"a hair too wide shrinks by one whole cell", 84, 1097.01, 1097, 83},
        {"37 capitals at 720", 84, 1456.0, 1097, 63},    // 84 * 1097 / 1456 = 63.29
        {"37 capitals at 1080", 126, 2184.0, 1645, 94},  // 126 * 1645 / 2184 = 94.9
        {"exactly twice the box: half the cell", 84, 2194.0, 1097, 42},
        {"wider than twice: still half, then cut", 84, 5000.0, 1097, 42},
        {"odd cell halves truncating", 85, 99999.0, 100, 42},
        {"fit lands on an exact cell", 100, 200.0, 150, 75},
        {"tiny cell never reaches zero", 1, 50.0, 10, 1},
        {"empty box: half", 84, 10.0, 0, 42},
        {"no cell stays as asked", 0, 500.0, 100, 0},
        {"negative width fits", 84, -5.0, 100, 84},
        {"unknown width is left at full size", 84, kNaN, 100, 84},
        {"endless width: half", 84, kInf, 100, 42},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(FittedCellHeight(c.cell, c.lineWidth, c.boxWidth), c.expected) << c.what;
    }
}

TEST(FittedCellHeight, AShrunkLineFitsAndOneCellMoreWouldNot) {
    for (const int32_t cell : {84, 126}) {
        for (double width = 1100.0; width < 2 * 1097.0; width += 37.3) {
            const int32_t fitted = FittedCellHeight(cell, width, 1097);
            SCOPED_TRACE(testing::Message() << cell << " cell, width " << width);
            EXPECT_LE(width * fitted / cell, 1097.0);
            if (fitted < cell) {
                EXPECT_GT(width * (fitted + 1) / cell, 1097.0);
            }
        }
    }
}

}  // namespace
}  // namespace cuewire
