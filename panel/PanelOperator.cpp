// What the operator does: video modes, prompt slots, live text and keys.
#include "panel/Panel.h"
#include "panel/Text.h"
#include "panel/VideoModes.h"
#include "res/SlotCaptions.h"

namespace cuewire {

void CPanel::ApplyVideoMode() {
    if (m_bInert || m_bEnded) {
        return;
    }
    m_mode = ModeFor(m_nResolution, m_nRate, m_bAlpha);
    m_window.ShowModeLabel(ModeLabel(m_mode.width, m_mode.height, m_mode.rateN, m_mode.rateD));
    // No copy publishes under a number it has not been given yet.
    m_output.ApplyMode(m_mode, LiveNow(), HeldNumber());
}

// Only the copy that took number 1 speaks on the link: not one still
// discovering, nor one left unnumbered.
LiveText CPanel::LiveNow() const {
    const bool linkDue = m_bLink && m_bNumbered && m_nInstance == 0;
    return {m_strLive, linkDue};
}

void CPanel::GoLive(const std::u16string& text) {
    if (m_bInert || m_bEnded) {
        return;
    }
    m_strLive = text;
    // An empty line, or the same text chosen again while it is shown, takes
    // the text off the output; that drops a text waiting for the start-up
    // period's end as well, which would otherwise come out as an empty box.
    if (!m_strLive.empty() && (m_strLive != m_strPrevLive || !m_output.TextShown())) {
        m_output.ShowText(LiveNow());
    } else {
        m_output.Clear(LiveNow());
    }
    m_strPrevLive = m_strLive;
}

void CPanel::ClearOutput() {
    if (m_bInert || m_bEnded) {
        return;
    }
    // A text chosen during the start-up period must not turn into an empty box
    // when the period ends: the clear drops it too.
    m_output.Clear(LiveNow());
    m_strLive.clear();
    m_strEntry.clear();
    WriteAllControls();
}

void CPanel::ToggleSlotMode(int slot) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    int32_t& mode = m_nSlotMode[static_cast<size_t>(slot)];
    mode = mode == kSlotGoLive ? kSlotCopy : kSlotGoLive;
    m_window.ShowSlotMode(
        slot, mode,
        mode == kSlotCopy ? u"" CUEWIRE_SLOT_CAPTION_COPY : u"" CUEWIRE_SLOT_CAPTION_GO_LIVE);
}

void CPanel::AppendSlotToEntry(int slot) {
    m_strEntry += u' ';
    m_strEntry += m_strSlot[static_cast<size_t>(slot)];
    WriteAllControls();
}

void CPanel::ClearSlot(int slot) {
    m_strSlot[static_cast<size_t>(slot)].clear();
    WriteAllControls();
}

void CPanel::OnTextChanged() {
    ReadAllControls();
    TrimWhiteSpace(m_strLive);
}

bool CPanel::PreTranslateKey(KeyMessage message, int virtualKey, KeyState keys) {
    const KeyAction action = MapKey(message, virtualKey, keys, m_nSlotMode);
    if (action.command == KeyCommand::kPassOn) {
        return false;
    }
    RunKeyAction(action);
    return true;
}

void CPanel::RunKeyAction(const KeyAction& action) {
    switch (action.command) {
        case KeyCommand::kOpenHelp:
            m_webPages.OpenWebPage(WebPage::kHelp);
            break;
        case KeyCommand::kGoLiveEntry:
            GoLive(m_strEntry);
            break;
        case KeyCommand::kClearOutput:
            ClearOutput();
            break;
        case KeyCommand::kGoLiveSlot:
            GoLive(m_strSlot[static_cast<size_t>(action.slot)]);
            break;
        case KeyCommand::kAppendSlot:
            AppendSlotToEntry(action.slot);
            break;
        case KeyCommand::kClearSlot:
            ClearSlot(action.slot);
            break;
        case KeyCommand::kToggleSlot:
            ToggleSlotMode(action.slot);
            break;
        case KeyCommand::kPassOn:
            break;
    }
}

void CPanel::OnVideoModeClicked() {
    if (ReadAllControls()) {
        ApplyVideoMode();
    }
}

void CPanel::OnLinkTickClicked() {
    ReadAllControls();  // takes effect at the next composition
}

void CPanel::OnWebLinkClicked(WebPage page) {
    m_webPages.OpenWebPage(page);
}

void CPanel::OnSlotKeyClicked(int slot) {
    if (slot >= 0 && slot < kSlotCount) {
        GoLive(m_strSlot[static_cast<size_t>(slot)]);
    }
}

bool CPanel::OnSystemCommand(SystemCommand command) {
    switch (command) {
        case SystemCommand::kAbout:
            m_window.ShowAbout(m_strVersion, m_output.RuntimeVersion());
            return true;
        case SystemCommand::kAlwaysOnTop:
            ToggleAlwaysOnTop();
            return true;
        case SystemCommand::kOnlineHelp:
            m_webPages.OpenWebPage(WebPage::kHelp);
            return true;
        case SystemCommand::kClose:
            ExitCommand();
            return true;
        case SystemCommand::kNone:
            break;
    }
    return false;
}

void CPanel::ToggleAlwaysOnTop() {
    m_bAlwaysOnTop = !m_bAlwaysOnTop;
    m_window.SetTopmost(m_bAlwaysOnTop);
    m_window.CheckAlwaysOnTop(m_bAlwaysOnTop);
}

}  // namespace cuewire
