#pragma once
// Where the support dialog opens: the panel steps aside to the left and the
// dialog takes the freed space, vertically centred on the panel. On a screen
// too small for that, both stay inside the work area of the panel's monitor.

#include "geometry/Rect.h"

namespace cuewire {


struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// At 96 DPI; both scale with the panel's DPI.
// How far the panel moves left to make room.
inline constexpr int kPanelStepLeft = 450;
// The dialog's left edge from the panel's old right edge: 10 pixels right of
// the panel's new right edge.
inline constexpr int kDialogLeftFromOldPanelRight = 440;

struct SupportPlacement {
    ScreenPoint panelTopLeft;   // the panel's new position; its size is unchanged
    ScreenPoint dialogTopLeft;  // the dialog's position; its size is unchanged
};

// `panel` is the panel's rectangle before it moves, `dialog` the dialog's
// rectangle as created, `workArea` the work area of the panel's monitor and
// `dpi` the panel's. Wherever both fit, the panel steps left by the whole step
// and the dialog opens beside it, centred on it; divisions truncate toward zero.
// The panel's step stops at the work area's left edge; the dialog then keeps
// its place beside the panel as far as the work area allows, and may cover part
// of the panel. A dialog larger than the work area keeps its top-left corner,
// with the title bar, inside it.
SupportPlacement PlaceBesidePanel(const Rect& panel, const Rect& dialog,
                                  const Rect& workArea, int dpi);

}  // namespace cuewire
