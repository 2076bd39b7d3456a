#include "panel/ControlMap.h"

#include "res/resource.h"

namespace cuewire {

namespace {

// SC_CLOSE, which the platform's headers declare and the core does not include.
constexpr int kPlatformClose = 0xF060;

bool InRange(int id, int first, int last) {
    return id >= first && id <= last;
}

}  // namespace

ControlClick ClickOn(int controlId) {
    switch (controlId) {
        case IDC_RES_720:
        case IDC_RES_1080:
        case IDC_RATE_25:
        case IDC_RATE_2997:
        case IDC_RATE_30:
        case IDC_ALPHA:
            return {ControlEvent::kVideoMode};
        case IDC_LINK:
            return {ControlEvent::kLinkTick};
        case IDC_LINK_MAKER:
            return {ControlEvent::kWebLink, -1, WebPage::kMakerSite};
        case IDC_LINK_NDI:
            return {ControlEvent::kWebLink, -1, WebPage::kNdiSite};
        case IDC_LINK_SOCIAL:
            return {ControlEvent::kWebLink, -1, WebPage::kMakerSocial};
        case IDC_LINK_VIDEO:
            return {ControlEvent::kWebLink, -1, WebPage::kMakerVideo};
        case IDOK_EXIT:
            return {ControlEvent::kExit};
        default:
            break;
    }
    if (InRange(controlId, IDC_SLOT_MODE_FIRST, IDC_SLOT_MODE_LAST)) {
        return {ControlEvent::kSlotMode, controlId - IDC_SLOT_MODE_FIRST};
    }
    if (InRange(controlId, IDC_SLOT_KEY_FIRST, IDC_SLOT_KEY_LAST)) {
        return {ControlEvent::kSlotKey, controlId - IDC_SLOT_KEY_FIRST};
    }
    return {};
}

SystemCommand SystemCommandFor(int command) {
    switch (command & 0xfff0) {
        case IDM_ABOUTBOX:
            return SystemCommand::kAbout;
        case IDM_ALWAYS_ON_TOP:
            return SystemCommand::kAlwaysOnTop;
        case IDM_ONLINE_HELP:
            return SystemCommand::kOnlineHelp;
        case kPlatformClose:
            return SystemCommand::kClose;
        default:
            return SystemCommand::kNone;
    }
}

bool IsTextEdit(int controlId) {
    return controlId == IDC_ENTRY || InRange(controlId, IDC_SLOT_EDIT_FIRST, IDC_SLOT_EDIT_LAST);
}

}  // namespace cuewire
