#include "panel/KeyMap.h"

#include <gtest/gtest.h>

namespace cuewire {
namespace {

constexpr int kF4 = 0x73, kF9 = 0x78, kF10 = 0x79, kF2 = 0x71, kA = 0x41;

TEST(KeyMap, EveryRowOfTheKeyTableForBothSlotModes) {
    using K = KeyCommand;
    using M = KeyMessage;
    struct Case {
        const char* name;
        M message;
        int key;
        bool shift, rightAlt;
        KeyAction goLiveMode, copyMode;
    } cases[] = {
        // One row of the key table per line.
        // clang-format off
        {"F3", M::kKeyDown, kVirtualKeyF3, false, false, {K::kGoLiveSlot, 0}, {K::kAppendSlot, 0}},
        {"F10 as key-down", M::kKeyDown, kF10, false, false, {K::kGoLiveSlot, 7}, {K::kAppendSlot, 7}},
        {"F10 alone (a system key)", M::kSysKeyDown, kF10, false, false, {K::kGoLiveSlot, 7}, {K::kAppendSlot, 7}},
        {"Shift+F4", M::kKeyDown, kF4, true, false, {K::kClearSlot, 1}, {K::kClearSlot, 1}},
        {"Shift+F10", M::kSysKeyDown, kF10, true, false, {K::kClearSlot, 7}, {K::kClearSlot, 7}},
        {"right Alt+F3", M::kSysKeyDown, kVirtualKeyF3, false, true, {K::kToggleSlot, 0}, {K::kToggleSlot, 0}},
        {"right Alt+F10", M::kSysKeyDown, kF10, false, true, {K::kToggleSlot, 7}, {K::kToggleSlot, 7}},
        {"right Alt+Shift+F5 key-down", M::kKeyDown, 0x74, true, true, {K::kToggleSlot, 2}, {K::kToggleSlot, 2}},
        {"left Alt+F4", M::kSysKeyDown, kF4, false, false, {K::kToggleSlot, 1}, {K::kToggleSlot, 1}},
        {"left Alt+Shift+F9", M::kSysKeyDown, kF9, true, false, {K::kToggleSlot, 6}, {K::kToggleSlot, 6}},
        {"left Alt+F10", M::kSysKeyDown, kF10, false, false, {K::kGoLiveSlot, 7}, {K::kAppendSlot, 7}},
        {"Return", M::kKeyDown, kVirtualKeyReturn, false, false, {K::kGoLiveEntry, -1}, {K::kGoLiveEntry, -1}},
        {"Shift+Return", M::kKeyDown, kVirtualKeyReturn, true, false, {K::kGoLiveEntry, -1}, {K::kGoLiveEntry, -1}},
        {"Escape", M::kKeyDown, kVirtualKeyEscape, false, false, {K::kClearOutput, -1}, {K::kClearOutput, -1}},
        {"F1 notice", M::kHelpNotice, kVirtualKeyF1, false, false, {K::kOpenHelp, -1}, {K::kOpenHelp, -1}},
        {"F1 key-down passes on", M::kKeyDown, kVirtualKeyF1, false, false, {}, {}},
        {"F2 passes on", M::kKeyDown, kF2, false, false, {}, {}},
        {"a letter passes on", M::kKeyDown, kA, true, false, {}, {}},
        {"Alt+Return passes on", M::kSysKeyDown, kVirtualKeyReturn, false, false, {}, {}},
        {"Alt+letter passes on", M::kSysKeyDown, kA, false, true, {}, {}},
        // clang-format on
    };
    std::array<int32_t, kSlotCount> goLive;
    std::array<int32_t, kSlotCount> copy;
    goLive.fill(kSlotGoLive);
    copy.fill(kSlotCopy);
    for (const Case& c : cases) {
        EXPECT_EQ(MapKey(c.message, c.key, {c.shift, c.rightAlt}, goLive), c.goLiveMode) << c.name;
        EXPECT_EQ(MapKey(c.message, c.key, {c.shift, c.rightAlt}, copy), c.copyMode) << c.name;
    }
}

TEST(KeyMap, EachSlotKeyFollowsItsOwnSlotsMode) {
    std::array<int32_t, kSlotCount> modes;
    modes.fill(kSlotGoLive);
    modes[4] = kSlotCopy;
    EXPECT_EQ(MapKey(KeyMessage::kKeyDown, 0x76, {}, modes),
              (KeyAction{KeyCommand::kAppendSlot, 4}));
    EXPECT_EQ(MapKey(KeyMessage::kKeyDown, 0x77, {}, modes),
              (KeyAction{KeyCommand::kGoLiveSlot, 5}));
}

}  // namespace
}  // namespace cuewire
