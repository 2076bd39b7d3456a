#include "dialogs/SupportPlacement.h"

#include <gtest/gtest.h>

#include <utility>

namespace cuewire {
namespace {

// Window sizes as the templates give them at each scale (panel, then dialog).
struct Sizes {
    int dpi, panelWidth, panelHeight, dialogWidth, dialogHeight;
};
constexpr Sizes k96{96, 488, 650, 668, 460};
constexpr Sizes k144{144, 732, 975, 1002, 690};
constexpr Sizes k192{192, 976, 1300, 1336, 920};

// The panel opens in the middle of the work area, as the panel window puts it.
Rect CentredPanel(const Rect& work, const Sizes& sizes) {
    const int left = work.left + (work.right - work.left - sizes.panelWidth) / 2;
    const int top = work.top + (work.bottom - work.top - sizes.panelHeight) / 2;
    return {left, top, left + sizes.panelWidth, top + sizes.panelHeight};
}

void ExpectPlacement(const SupportPlacement& placement, ScreenPoint panel, ScreenPoint dialog) {
    EXPECT_EQ(placement.panelTopLeft.x, panel.x);
    EXPECT_EQ(placement.panelTopLeft.y, panel.y);
    EXPECT_EQ(placement.dialogTopLeft.x, dialog.x);
    EXPECT_EQ(placement.dialogTopLeft.y, dialog.y);
}

TEST(SupportPlacement, OnScreensOfEverySizeAndScale) {
    struct Case {
        const char* what;
        Rect work;
        Sizes sizes;
        ScreenPoint panel;
        ScreenPoint dialog;
    };
    const Case cases[] = {
        // Room for the whole step: the panel steps 450 left, the dialog opens 10
        // right of it, centred on it ((460 - 650) / 2 = -95).
        {"1920 at 96", {0, 0, 1920, 1040}, k96, {716 - 450, 195}, {764, 195 + 95}},
        // The step would leave the screen by 11, 54 and 182 pixels: the panel
        // stops at the edge and the dialog opens beside it.
        {"1366 at 96", {0, 0, 1366, 728}, k96, {0, 39}, {498, 39 + 95}},
        {"1280 at 96", {0, 0, 1280, 984}, k96, {0, 167}, {498, 167 + 95}},
        // Beside the panel the dialog would end at 1166: it stops at the right
        // edge and covers part of the panel.
        {"1024 at 96", {0, 0, 1024, 728}, k96, {0, 39}, {1024 - 668, 39 + 95}},
        // The panel's monitor left or right of the primary one.
        {"1366 left of the primary", {-1366, 0, 0, 728}, k96, {-1366, 39}, {-868, 134}},
        {"1280 right of the primary", {1920, 0, 3200, 984}, k96, {1920, 167}, {2418, 262}},
        {"1024 right of the primary, lower", {1920, 200, 2944, 928}, k96, {1920, 239},
         {2944 - 668, 334}},
        // Scaled: a step of 675 and a gap of 15 at 144, 900 and 20 at 192.
        {"2560 at 144", {0, 0, 2560, 1400}, k144, {914 - 675, 212}, {986, 212 + 142}},
        {"1920 at 144", {0, 0, 1920, 1040}, k144, {0, 32}, {747, 32 + 142}},
        {"3840 at 192", {0, 0, 3840, 2080}, k192, {1432 - 900, 390}, {1528, 390 + 190}},
        // A panel taller than the screen; the dialog still fits below the top.
        {"1366 at 144", {0, 0, 1366, 728}, k144, {0, -123}, {1366 - 1002, -123 + 142}},
        // A dialog wider or taller than the work area keeps its title bar on it.
        {"1280 at 192", {0, 0, 1280, 984}, k192, {0, -158}, {0, 32}},
        {"1024 at 192", {0, 0, 1024, 728}, k192, {0, -286}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Rect panel = CentredPanel(c.work, c.sizes);
        const Rect dialog{0, 0, c.sizes.dialogWidth, c.sizes.dialogHeight};
        ExpectPlacement(PlaceBesidePanel(panel, dialog, c.work, c.sizes.dpi), c.panel, c.dialog);
    }
}

TEST(SupportPlacement, WhereBothFitThePanelStepsAndTheDialogIsCentredBesideIt) {
    const Rect work{0, 0, 1920, 1080};
    struct Case {
        Rect panel;   // before the move
        Rect dialog;  // as created
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
        // A panel already left of the work area is not pulled back right.
        {{-100, 50, 400, 650}, {0, 0, 661, 433}, {-100, 50}, {410, 133}},
    };
    for (const Case& c : cases) {
        ExpectPlacement(PlaceBesidePanel(c.panel, c.dialog, work, 96), c.panelTopLeft,
                        c.dialogTopLeft);
    }
}

TEST(SupportPlacement, TheGapBesideTheMovedPanelScalesWithTheDisplay) {
    const Rect work{0, 0, 7680, 4320};
    const Rect panel{3000, 1000, 3500, 1600};
    for (const auto& [dpi, gap] : {std::pair{96, 10}, {120, 13}, {144, 15}, {192, 20}}) {
        const SupportPlacement placement = PlaceBesidePanel(panel, {0, 0, 661, 433}, work, dpi);
        const int movedPanelRight = placement.panelTopLeft.x + (panel.right - panel.left);
        EXPECT_EQ(placement.dialogTopLeft.x - movedPanelRight, gap) << dpi;
    }
}

}  // namespace
}  // namespace cuewire
