#include "video/LineFit.h"

#include <algorithm>
#include <cmath>

namespace cuewire {

int32_t FittedCellHeight(int32_t cellHeight, double lineWidth, int32_t boxWidth) {
    // Also true for a width that is not a number: nothing is known to overflow.
    if (cellHeight <= 0 || !(lineWidth > boxWidth)) {
        return cellHeight;
    }
    const int32_t smallest = std::max<int32_t>(1, cellHeight / 2);
    if (boxWidth <= 0 || std::isinf(lineWidth)) {
        return smallest;
    }
    const double fitting = std::floor(double(cellHeight) * boxWidth / lineWidth);
    return std::max(smallest, static_cast<int32_t>(fitting));
}

}  // namespace cuewire
