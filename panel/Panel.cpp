#include "panel/Panel.h"

#include <cstdio>

#include "panel/ExitQuestion.h"
#include "panel/Text.h"
#include "panel/VideoModes.h"

namespace cuewire {

namespace {

constexpr char16_t kApplicationName[] = u"Cuewire";
constexpr char16_t kTitlePrefix[] = u"Bryvo Cuewire for NDI\u00AE - No ";

}  // namespace

CPanel::CPanel(const PanelPorts& ports)
    : m_window(ports.window),
      m_timers(ports.timers),
      m_clock(ports.clock),
      m_webPages(ports.webPages),
      m_program(ports.program),
      m_bus(ports.bus),
      m_numberClaims(ports.numberClaims),
      m_output(ports.output) {
    m_nSlotMode.fill(kSlotGoLive);
}

bool CPanel::OnInitDialog() {
    m_strVersion = FormatVersion();

    m_mode = ModeFor(0, 0, true);

    switch (m_output.Start()) {
        case OutputStart::kNoRuntime:
            m_bInert = true;
            m_window.ShowMessage(u"Cannot run NDI.", kApplicationName, MessageBoxButtons::kOk);
            return false;
        case OutputStart::kNoFrameBuffers:
            m_bInert = true;
            m_window.ShowMessage(u"NDI_frame creation problem", kApplicationName,
                                 MessageBoxButtons::kOk);
            return false;
        case OutputStart::kStarted:
            break;
    }

    m_bAlwaysOnTop = true;
    m_window.CheckAlwaysOnTop(true);
    const bool supportCreated = m_window.CreateSupportDialog();
    m_bShowSupport = supportCreated;
    m_output.LoadPictures(m_mode);

    m_nInstance = 0;
    m_discovery.Start(m_bus, m_program.ProcessId());
    m_bDiscovering = true;
    m_timers.StartTimer(kTimerNumbering, kNumberingDelayMs);

    m_window.InitialiseSlotControls();
    m_bAlpha = true;
    WriteAllControls();
    // Without its support dialog the panel does not run: once prepared, it
    // ends as if cancelled, and the application with it.
    if (!supportCreated) {
        EndPanel();
    }
    return true;
}

std::u16string CPanel::FormatVersion() {
    std::array<uint16_t, 4> version{};
    if (!m_program.ReadFileVersion(version)) {
        return {};
    }
    char text[32];
    std::snprintf(text, sizeof text, "%i.%i.%i.%i", version[0], version[1], version[2], version[3]);
    return AsciiToUtf16(text);
}

void CPanel::OnTimer(int id) {
    if (m_bInert || m_bEnded) {
        return;
    }
    switch (id) {
        case kTimerNumbering:
            // A ninth copy's question runs a message loop of its own while the
            // timer keeps ticking: one numbering step, so one question.
            if (m_bDiscovering) {
                RunNumberingStep();
            }
            break;
        case kTimerResend:
            m_output.Resend();
            break;
        case kTimerStartupEnd:
            EndStartupPeriod();
            break;
        default:
            break;
    }
}

void CPanel::RunNumberingStep() {
    m_bDiscovering = false;
    m_nInstance = 0;
    const int32_t number = m_discovery.ClaimFreeNumber(m_numberClaims);
    if (number >= CDiscovery::kMaxCopies) {
        // Every number is taken: offer to leave; declined, the copy stays unnumbered.
        AskToExit(NoNumberQuestion(m_discovery));
    } else {
        m_nInstance = number;
        m_bNumbered = true;
        m_window.SetTitle(kTitlePrefix + AsciiToUtf16(std::to_string(number + 1)));
        m_window.SetTopmost(true);
        m_output.ArmStartupFrame();
        // The mode makes the copy's sender, once, and sends it the start-up frame.
        ApplyVideoMode();
        m_timers.StartTimer(kTimerStartupEnd, kStartupPeriodMs);
        m_window.EnableAlpha();
    }
    if (m_bEnded) {
        return;
    }
    m_timers.StopTimer(kTimerNumbering);
    m_timers.StartTimer(kTimerResend, kResendPeriodMs);
}

void CPanel::EndStartupPeriod() {
    m_output.EndStartupPeriod(LiveNow());
    m_timers.StopTimer(kTimerStartupEnd);
    m_window.EnableEdits();
}

void CPanel::OnLinkMessage(uint64_t code, int64_t value) {
    // Still discovering, inert or left unnumbered, a copy holds no number, and
    // an answer would mark one taken for the copy that asked.
    m_discovery.HandleMessage(m_bus, code, value, HeldNumber(), m_clock.Milliseconds());
}

// A copy that has ended has let its number go, and its window may still be
// reading messages.
std::optional<int32_t> CPanel::HeldNumber() const {
    return m_bNumbered && !m_bEnded ? std::optional<int32_t>(m_nInstance) : std::nullopt;
}

void CPanel::ExitCommand() {
    AskToExit(kExitQuestion);
}

void CPanel::AskToExit(std::u16string_view question) {
    if (m_bEnded) {
        return;
    }
    if (m_window.ShowMessage(question, u"Quit Cuewire", MessageBoxButtons::kOkCancel) !=
        MessageBoxAnswer::kOk) {
        return;
    }
    EndPanel();
}

void CPanel::OnSessionEnding() {
    EndPanel();
}

void CPanel::EndPanel() {
    // The session may end while the question is open: the teardown has run
    // by the time the operator's OK comes back.
    if (m_bEnded) {
        return;
    }
    m_output.ShutDown();
    // The process outlives its window by seconds; a copy started meanwhile
    // takes the number this one leaves.
    m_numberClaims.ReleaseAll();
    m_bEnded = true;
    m_window.EndPanel(kEndResultCancel);
}

void CPanel::OnWindowShown() {
    if (m_bShowSupport) {
        m_window.ShowSupportDialog();
        m_bShowSupport = false;
    }
}

bool CPanel::ReadAllControls() {
    PanelControlValues values;
    if (!m_window.ReadControls(values)) {
        return false;
    }
    m_strEntry = std::move(values.m_strEntry);
    m_bAlpha = values.m_bAlpha;
    m_bLink = values.m_bLink;
    m_nResolution = values.m_nResolution;
    m_nRate = values.m_nRate;
    m_strSlot = std::move(values.m_strSlot);
    return true;
}

void CPanel::WriteAllControls() {
    PanelControlValues values;
    values.m_strEntry = m_strEntry;
    values.m_bAlpha = m_bAlpha;
    values.m_bLink = m_bLink;
    values.m_nResolution = m_nResolution;
    values.m_nRate = m_nRate;
    values.m_strSlot = m_strSlot;
    m_window.WriteControls(values);
}

}  // namespace cuewire
