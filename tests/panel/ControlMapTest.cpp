// The window hands each click on to the panel through this table: one row
// per control of the panel's template.
#include "panel/ControlMap.h"

#include <gtest/gtest.h>

#include "res/resource.h"

namespace cuewire {
namespace {

TEST(ControlMap, EveryControlOfThePanelMeansWhatItsCaptionSays) {
    const struct {
        int id;
        ControlClick click;
    } rows[] = {
        {IDC_RES_720, {ControlEvent::kVideoMode}},
        {IDC_RES_1080, {ControlEvent::kVideoMode}},
        {IDC_RATE_25, {ControlEvent::kVideoMode}},
        {IDC_RATE_2997, {ControlEvent::kVideoMode}},
        {IDC_RATE_30, {ControlEvent::kVideoMode}},
        {IDC_ALPHA, {ControlEvent::kVideoMode}},
        {IDC_LINK, {ControlEvent::kLinkTick}},
        {IDC_LINK_MAKER, {ControlEvent::kWebLink, -1, WebPage::kMakerSite}},
        {IDC_LINK_NDI, {ControlEvent::kWebLink, -1, WebPage::kNdiSite}},
        {IDC_LINK_SOCIAL, {ControlEvent::kWebLink, -1, WebPage::kMakerSocial}},
        {IDC_LINK_VIDEO, {ControlEvent::kWebLink, -1, WebPage::kMakerVideo}},
        {IDC_SLOT_MODE_FIRST, {ControlEvent::kSlotMode, 0}},
        {IDC_SLOT_MODE_LAST, {ControlEvent::kSlotMode, 7}},
        {IDC_SLOT_KEY_FIRST + 2, {ControlEvent::kSlotKey, 2}},
        {IDC_SLOT_KEY_LAST, {ControlEvent::kSlotKey, 7}},
        {IDOK_EXIT, {ControlEvent::kExit}},
        // Clicks that mean nothing: the edits, the labels, the hidden radio,
        // the preview, and the IDs just outside the slot ranges.
        {IDC_ENTRY, {}},
        {IDC_SLOT_EDIT_FIRST, {}},
        {IDC_MODE_LABEL, {}},
        {IDC_RES_HIDDEN, {}},
        {IDC_PREVIEW, {}},
        {IDC_SLOT_MODE_FIRST - 1, {}},
        {IDC_SLOT_KEY_LAST + 1, {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ClickOn(row.id), row.click) << "control " << row.id;
    }
}

TEST(ControlMap, SystemMenuCommandsIgnoreThePlatformsLowBits) {
    const struct {
        int command;
        SystemCommand expected;
    } rows[] = {
        {IDM_ABOUTBOX, SystemCommand::kAbout},
        {IDM_ALWAYS_ON_TOP, SystemCommand::kAlwaysOnTop},
        {IDM_ALWAYS_ON_TOP | 0xf, SystemCommand::kAlwaysOnTop},
        {IDM_ONLINE_HELP | 0x3, SystemCommand::kOnlineHelp},
        {0xF060, SystemCommand::kClose},
        {0xF060 | 0x2, SystemCommand::kClose},
        {0xF010, SystemCommand::kNone},  // move
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SystemCommandFor(row.command), row.expected) << std::hex << row.command;
    }
}

TEST(ControlMap, OnlyTheEntryLineAndTheSlotsAreTextEdits) {
    EXPECT_TRUE(IsTextEdit(IDC_ENTRY));
    EXPECT_TRUE(IsTextEdit(IDC_SLOT_EDIT_FIRST));
    EXPECT_TRUE(IsTextEdit(IDC_SLOT_EDIT_LAST));
    EXPECT_FALSE(IsTextEdit(IDC_SLOT_EDIT_LAST + 1));
    EXPECT_FALSE(IsTextEdit(IDC_MODE_LABEL));
}

}  // namespace
}  // namespace cuewire
