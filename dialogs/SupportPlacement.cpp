#include "dialogs/SupportPlacement.h"

namespace cuewire {

SupportPlacement PlaceBesidePanel(const ScreenRect& panel, const ScreenRect& dialog) {
    const int panelHeight = panel.bottom - panel.top;
    const int dialogHeight = dialog.bottom - dialog.top;
    SupportPlacement placement;
    placement.panelTopLeft = {panel.left - kPanelStepLeft, panel.top};
    placement.dialogTopLeft = {panel.right - kDialogLeftFromOldPanelRight,
                               panel.top - (dialogHeight - panelHeight) / 2};
    return placement;
}

}  // namespace cuewire
