#pragma once
#include "panel/PanelWindow.h"

namespace cuewire {

// What a click on one of the panel's controls means.
enum class ControlEvent {
    kNone,       // a control whose clicks mean nothing, or no control of ours
    kVideoMode,  // a resolution or rate radio, or "+Alpha"
    kLinkTick,   // "Kyx Link"
    kWebLink,    // one of the four links to the maker's and NDI's pages
    kSlotMode,   // a slot's mode button
    kSlotKey,    // a slot's key indicator
    kExit,
};

struct ControlClick {
    ControlEvent event = ControlEvent::kNone;
    int slot = -1;                      // kSlotMode, kSlotKey
    WebPage page = WebPage::kMakerSite;  // kWebLink

    bool operator==(const ControlClick&) const = default;
};

// The commands the panel adds to its system menu, and the platform's close.
enum class SystemCommand { kNone, kAbout, kAlwaysOnTop, kOnlineHelp, kClose };

// The table from the panel's control IDs to what a click means; the dialog
// window reads it, and only it knows the IDs.
ControlClick ClickOn(int controlId);
// A system menu command; kNone for the platform's own (move, minimise, ...),
// which get default processing. Close (from the title bar, the menu or the
// system's End task) is the panel's. The platform uses the low four bits.
SystemCommand SystemCommandFor(int command);
// Whether a change notice from this control is an edit of the entry line or a slot.
bool IsTextEdit(int controlId);

}  // namespace cuewire
