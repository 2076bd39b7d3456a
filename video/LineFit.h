#pragma once
#include <cstdint>

namespace cuewire {

// The cell height a line of text is drawn at in a box `boxWidth` pixels wide.
// `lineWidth` is the width the line takes at the full `cellHeight`, measured
// about the box's centre so that centring keeps it inside. A line that fits
// keeps the full cell. A wider one shrinks to the largest whole cell at which
// it fits, but never below half the full cell: a line still too wide there is
// drawn at half the cell and cut at the box edges. Widths scale with the cell.
int32_t FittedCellHeight(int32_t cellHeight, double lineWidth, int32_t boxWidth);

}  // namespace cuewire
