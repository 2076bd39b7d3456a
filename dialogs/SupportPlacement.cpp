#include "dialogs/SupportPlacement.h"

#include <algorithm>

#include "geometry/DisplayScale.h"

namespace cuewire {

namespace {

// `start` moved as little as needed to put [start, start + length) inside
// [low, high); the low edge wins when the length does not fit.
int KeepInside(int start, int length, int low, int high) {
    return std::max(std::min(start, high - length), low);
}

}  // namespace

SupportPlacement PlaceBesidePanel(const Rect& panel, const Rect& dialog,
                                  const Rect& workArea, int dpi) {
    const int panelWidth = panel.right - panel.left;
    const int panelHeight = panel.bottom - panel.top;
    const int dialogWidth = dialog.right - dialog.left;
    const int dialogHeight = dialog.bottom - dialog.top;
    const int step = ScaleForDpi(kPanelStepLeft, dpi);
    const int gap = step - ScaleForDpi(kDialogLeftFromOldPanelRight, dpi);

    // The step ends at the work area's left edge; a panel already left of it
    // is not pulled back right.
    const int panelLeft = std::min(panel.left, std::max(panel.left - step, workArea.left));
    const ScreenPoint besidePanel{panelLeft + panelWidth + gap,
                                  panel.top - (dialogHeight - panelHeight) / 2};

    SupportPlacement placement;
    placement.panelTopLeft = {panelLeft, panel.top};
    placement.dialogTopLeft = {
        KeepInside(besidePanel.x, dialogWidth, workArea.left, workArea.right),
        KeepInside(besidePanel.y, dialogHeight, workArea.top, workArea.bottom)};
    return placement;
}

}  // namespace cuewire
