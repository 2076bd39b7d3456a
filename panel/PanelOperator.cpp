// What the operator does: video modes, prompt slots, live text and keys.
#include "panel/CuewireDlg.h"
#include "panel/Text.h"
#include "panel/VideoModes.h"
#include "res/resource.h"

namespace cuewire {

void CCuewireDlg::ApplyVideoMode() {
    if (m_bInert || m_bEnded) {
        return;
    }
    const FrameSize size = ResolutionFor(m_nResolution);
    const FrameRate rate = FrameRateFor(m_nRate);
    m_nWidth = size.width;
    m_nHeight = size.height;
    m_nRateN = rate.numerator;
    m_nRateD = rate.denominator;
    m_window.SetControlText(IDC_MODE_LABEL, ModeLabel(m_nWidth, m_nHeight, m_nRateN, m_nRateD));

    // The numbering step's mode makes the copy's sender, once, before it
    // composes: the source appears with the title and the start-up frame goes
    // out through it as soon as it is composed. Every later mode takes the
    // source off while the frame at the new size is made, and brings it back
    // with that frame.
    const bool firstSender = m_bNumbered && !m_bSenderMade;
    if (firstSender) {
        m_ndi.CreateSender(m_nInstance);
        m_bSenderMade = true;
    } else {
        m_ndi.DestroySender();
    }
    m_ndi.FillFrameDescriptors(m_nWidth, m_nHeight, m_nRateN, m_nRateD, m_bAlpha != 0);
    m_output.ScaleBackground(m_nWidth, m_nHeight);
    if (m_output.m_bTextShown) {
        m_output.m_bTextPending = 1;  // draw the text again at the new size
    }
    m_output.RebuildTextSurface(m_nWidth, m_nHeight);
    m_output.ResetBackground(m_nWidth, m_nHeight);
    Compose();

    // No copy publishes under a number it has not been given yet.
    if (!m_bNumbered) {
        return;
    }
    if (!firstSender) {
        m_ndi.CreateSender(m_nInstance);
    }
    if (m_ndi.HasSender()) {
        const int32_t current = m_ndi.m_nCurFrame;
        if (!firstSender) {
            m_ndi.SendFrame(current);  // the first sender had it from the composition
        }
        const NDIlib_video_frame_v2_t* frame = m_ndi.Frame(current);
        m_preview.SetFrame(frame->p_data, frame->xres, frame->yres, frame->line_stride_in_bytes,
                           frame->FourCC, frame->picture_aspect_ratio);
    }
}

void CCuewireDlg::Compose() {
    // Only the copy that took number 1 speaks on the link: not one still
    // discovering, nor one left unnumbered.
    const bool linkDue = m_bLink != 0 && m_bNumbered && m_nInstance == 0;
    const CompositionInput input{m_nWidth, m_nHeight, m_strLive, linkDue};
    m_output.ComposeAndSend(input);
}

void CCuewireDlg::GoLive(const std::u16string& text) {
    if (m_bInert || m_bEnded) {
        return;
    }
    m_strLive = text;
    // The same text chosen again while it is shown takes it off the output.
    if (!m_strLive.empty() && (m_strLive != m_strPrevLive || !m_output.m_bTextShown)) {
        m_output.m_bTextPending = 1;
    }
    Compose();
    m_strPrevLive = m_strLive;
}

void CCuewireDlg::ClearOutput() {
    if (m_bInert || m_bEnded) {
        return;
    }
    // A text chosen during the start-up period must not turn into an empty box
    // when the period ends.
    if (m_output.m_bStartupPending) {
        m_output.m_bTextPending = 0;
    }
    Compose();
    m_strLive.clear();
    m_strEntry.clear();
    WriteAllControls();
}

void CCuewireDlg::ToggleSlotMode(int slot) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    int32_t& mode = m_nSlotMode[static_cast<size_t>(slot)];
    mode = mode == kSlotGoLive ? kSlotCopy : kSlotGoLive;
    m_window.ShowSlotMode(slot, mode, mode == kSlotCopy ? u"Copy" : u"Go Live");
}

void CCuewireDlg::AppendSlotToEntry(int slot) {
    m_strEntry += u' ';
    m_strEntry += m_strSlot[static_cast<size_t>(slot)];
    WriteAllControls();
}

void CCuewireDlg::ClearSlot(int slot) {
    m_strSlot[static_cast<size_t>(slot)].clear();
    WriteAllControls();
}

void CCuewireDlg::OnTextChanged() {
    ReadAllControls();
    TrimWhiteSpace(m_strLive);
}

bool CCuewireDlg::PreTranslateKey(KeyMessage message, int virtualKey, KeyState keys) {
    const KeyAction action = MapKey(message, virtualKey, keys, m_nSlotMode);
    if (action.command == KeyCommand::kPassOn) {
        return false;
    }
    RunKeyAction(action);
    return true;
}

void CCuewireDlg::RunKeyAction(const KeyAction& action) {
    switch (action.command) {
        case KeyCommand::kOpenHelp:
            m_window.OpenWebPage(WebPage::kHelp);
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

void CCuewireDlg::OnCommand(int controlId) {
    switch (controlId) {
        case IDC_RES_720:
        case IDC_RES_1080:
        case IDC_RATE_25:
        case IDC_RATE_2997:
        case IDC_RATE_30:
        case IDC_ALPHA:
            if (ReadAllControls()) {
                ApplyVideoMode();
            }
            return;
        case IDC_LINK:
            ReadAllControls();  // takes effect at the next composition
            return;
        case IDC_LINK_MAKER:
            m_window.OpenWebPage(WebPage::kMakerSite);
            return;
        case IDC_LINK_NDI:
            m_window.OpenWebPage(WebPage::kNdiSite);
            return;
        case IDC_LINK_SOCIAL:
            m_window.OpenWebPage(WebPage::kMakerSocial);
            return;
        case IDC_LINK_VIDEO:
            m_window.OpenWebPage(WebPage::kMakerVideo);
            return;
        case IDOK_EXIT:
            ExitCommand();
            return;
        default:
            break;
    }
    if (controlId >= IDC_SLOT_MODE_FIRST && controlId <= IDC_SLOT_MODE_LAST) {
        ToggleSlotMode(controlId - IDC_SLOT_MODE_FIRST);
    } else if (controlId >= IDC_SLOT_KEY_FIRST && controlId <= IDC_SLOT_KEY_LAST) {
        GoLive(m_strSlot[static_cast<size_t>(controlId - IDC_SLOT_KEY_FIRST)]);
    }
}

bool CCuewireDlg::OnSysCommand(int command) {
    switch (command & 0xfff0) {
        case IDM_ABOUTBOX:
            m_window.ShowAbout(m_strVersion);
            return true;
        case IDM_ALWAYS_ON_TOP:
            ToggleAlwaysOnTop();
            return true;
        case IDM_ONLINE_HELP:
            m_window.OpenWebPage(WebPage::kHelp);
            return true;
        default:
            return false;
    }
}

void CCuewireDlg::ToggleAlwaysOnTop() {
    m_bAlwaysOnTop = !m_bAlwaysOnTop;
    m_window.SetTopmost(m_bAlwaysOnTop);
    m_window.SetMenuCheck(IDM_ALWAYS_ON_TOP, m_bAlwaysOnTop);
}

}  // namespace cuewire
