#include "panel/KeyMap.h"

namespace cuewire {

namespace {

bool IsSlotKey(int virtualKey) {
    return virtualKey >= kVirtualKeyF3 && virtualKey <= kVirtualKeyF10;
}

// A slot key without right Alt: Shift clears, else the slot's mode decides.
KeyAction PlainSlotKey(int slot, KeyState keys, const std::array<int32_t, kSlotCount>& slotModes) {
    if (keys.shift) {
        return {KeyCommand::kClearSlot, slot};
    }
    if (slotModes[static_cast<size_t>(slot)] == kSlotGoLive) {
        return {KeyCommand::kGoLiveSlot, slot};
    }
    return {KeyCommand::kAppendSlot, slot};
}

}  // namespace

KeyAction MapKey(KeyMessage message, int virtualKey, KeyState keys,
                 const std::array<int32_t, kSlotCount>& slotModes) {
    // One F1 press brings both a key-down and the platform's F1 notice: only
    // the notice opens help, so the page opens once; the key-down is not ours.
    if (message == KeyMessage::kHelpNotice) {
        return {KeyCommand::kOpenHelp, -1};
    }
    if (message == KeyMessage::kKeyDown) {
        if (virtualKey == kVirtualKeyReturn) {
            return {KeyCommand::kGoLiveEntry, -1};
        }
        if (virtualKey == kVirtualKeyEscape) {
            return {KeyCommand::kClearOutput, -1};
        }
    }
    if (!IsSlotKey(virtualKey)) {
        return {};
    }
    const int slot = virtualKey - kVirtualKeyF3;
    if (keys.rightAlt) {
        return {KeyCommand::kToggleSlot, slot};
    }
    // With Alt held the platform sends F3 to F9 as system keys: either Alt
    // toggles them. F10 is a system key even alone, so left Alt leaves it plain.
    if (message == KeyMessage::kSysKeyDown && virtualKey != kVirtualKeyF10) {
        return {KeyCommand::kToggleSlot, slot};
    }
    return PlainSlotKey(slot, keys, slotModes);
}

}  // namespace cuewire
