#pragma once
#include <array>
#include <cstdint>

#include "panel/PanelWindow.h"

namespace cuewire {

// Slot modes are the states of the slot's mode button.
enum SlotMode : int32_t { kSlotGoLive = 1, kSlotCopy = 2 };

enum class KeyMessage {
    kKeyDown,     // WM_KEYDOWN
    kSysKeyDown,  // WM_SYSKEYDOWN: keys pressed with Alt, and F10
    kHelpNotice,  // the platform's F1 notice
};

enum class KeyCommand {
    kPassOn,  // not ours: normal processing
    kOpenHelp,
    kGoLiveEntry,  // Return
    kClearOutput,  // Escape
    kGoLiveSlot,
    kAppendSlot,  // Copy mode: the slot's text onto the entry line
    kClearSlot,
    kToggleSlot,
};

struct KeyAction {
    KeyCommand command = KeyCommand::kPassOn;
    int slot = -1;

    bool operator==(const KeyAction&) const = default;
};

struct KeyState {
    bool shift = false;     // either Shift key
    bool rightAlt = false;  // the right Alt key (VK_RMENU)
};

constexpr int kVirtualKeyReturn = 0x0d;
constexpr int kVirtualKeyEscape = 0x1b;
constexpr int kVirtualKeyF1 = 0x70;
constexpr int kVirtualKeyF3 = 0x72;
constexpr int kVirtualKeyF10 = 0x79;

// What a key message does, seen before any control gets it. Every action but
// kPassOn consumes the message, so Return never presses Exit, Escape never
// closes the panel and Alt+F4 never reaches the close handling.
KeyAction MapKey(KeyMessage message, int virtualKey, KeyState keys,
                 const std::array<int32_t, kSlotCount>& slotModes);

}  // namespace cuewire
