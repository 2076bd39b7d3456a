#pragma once
// Where the support dialog opens: the panel steps aside to the left and the
// dialog takes the freed space, vertically centred on the panel.

namespace cuewire {

// A window's rectangle in screen pixels, right and bottom exclusive.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// How far the panel moves left to make room.
inline constexpr int kPanelStepLeft = 450;
// The dialog's left edge from the panel's old right edge: 10 pixels right of
// the panel's new right edge.
inline constexpr int kDialogLeftFromOldPanelRight = 440;

struct SupportPlacement {
    ScreenPoint panelTopLeft;   // the panel's new position; its size is unchanged
    ScreenPoint dialogTopLeft;  // the dialog's position; its size is unchanged
};

// `panel` is the panel's rectangle before it moves; `dialog` the dialog's
// rectangle as created. Divisions truncate toward zero.
SupportPlacement PlaceBesidePanel(const ScreenRect& panel, const ScreenRect& dialog);

}  // namespace cuewire
