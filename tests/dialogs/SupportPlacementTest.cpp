#include "dialogs/SupportPlacement.h"

#include <gtest/gtest.h>

namespace cuewire {
namespace {

TEST(SupportPlacement, PanelStepsLeftAndDialogOpensBesideItCentred) {
    struct Case {
        ScreenRect panel;   // before the move
        ScreenRect dialog;  // as created
        ScreenPoint panelTopLeft;
        ScreenPoint dialogTopLeft;
    };
    const Case cases[] = {
        // A 600-high panel and a 433-high dialog: the dialog's top is 83 below the
        // panel's (167 / 2 truncates to 83).
        {{700, 100, 1200, 700}, {0, 0, 661, 433}, {250, 100}, {760, 183}},
        // A dialog taller than the panel starts above it.
        {{700, 200, 1200, 400}, {0, 0, 661, 433}, {250, 200}, {760, 84}},
        // A negative odd difference truncates toward zero: -233 / 2 is -116.
        {{500, 0, 980, 666}, {30, 30, 691, 463}, {50, 0}, {540, 116}},
        // Panels near the screen's left edge move off it; no clamping.
        {{100, 50, 600, 650}, {0, 0, 661, 433}, {-350, 50}, {160, 133}},
    };
    for (const Case& c : cases) {
        const SupportPlacement placement = PlaceBesidePanel(c.panel, c.dialog);
        EXPECT_EQ(placement.panelTopLeft.x, c.panelTopLeft.x);
        EXPECT_EQ(placement.panelTopLeft.y, c.panelTopLeft.y);
        EXPECT_EQ(placement.dialogTopLeft.x, c.dialogTopLeft.x);
        EXPECT_EQ(placement.dialogTopLeft.y, c.dialogTopLeft.y);
    }
}

TEST(SupportPlacement, DialogStartsTenPixelsRightOfTheMovedPanel) {
    const ScreenRect panel{700, 100, 1200, 700};
    const SupportPlacement placement = PlaceBesidePanel(panel, {0, 0, 661, 433});
    const int movedPanelRight = placement.panelTopLeft.x + (panel.right - panel.left);
    EXPECT_EQ(placement.dialogTopLeft.x - movedPanelRight, 10);
}

}  // namespace
}  // namespace cuewire
