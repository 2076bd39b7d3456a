#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "link/CopyDiscovery.h"
#include "link/LinkBus.h"
#include "link/NumberClaims.h"
#include "panel/ControlMap.h"
#include "panel/KeyMap.h"
#include "panel/PanelWindow.h"
#include "video/OutputPort.h"

namespace cuewire {

// Everything the panel reaches outside itself.
struct PanelPorts {
    IPanelWindow& window;
    ITimers& timers;
    IClock& clock;
    IWebPages& webPages;
    IProgramInfo& program;
    ILinkBus& bus;  // discovery
    INumberClaims& numberClaims;
    // The NDI output, which tells the text link what it shows.
    IOutput& output;
};

enum PanelTimer : int {
    kTimerNumbering = 1,   // 2500 ms after the discovery request, once
    kTimerResend = 2,      // every 1000 ms from the numbering step on
    kTimerStartupEnd = 5,  // 12000 ms after the numbering step, once
};

// The control panel's behaviour: start-up, copy numbering, timers, video
// modes, prompt slots, live text, keys and exit. The Win32 dialog turns
// messages into these calls. UI thread only.
class CPanel {
  public:
    static constexpr int kNumberingDelayMs = 2500;
    static constexpr int kResendPeriodMs = 1000;
    static constexpr int kStartupPeriodMs = 12000;
    static constexpr int kEndResultCancel = 2;

    explicit CPanel(const PanelPorts& ports);

    // The panel's initialisation, once its window and controls exist. False
    // when the NDI runtime or the frame buffers failed: the panel stays inert.
    bool OnInitDialog();
    void OnTimer(int id);
    void OnLinkMessage(uint64_t code, int64_t value);
    // The operator edited the entry line or a slot.
    void OnTextChanged();
    // A resolution or rate radio, or "+Alpha", was clicked.
    void OnVideoModeClicked();
    void OnLinkTickClicked();
    void OnWebLinkClicked(WebPage page);
    void OnSlotKeyClicked(int slot);
    // True when the key message was taken and must not reach any control.
    bool PreTranslateKey(KeyMessage message, int virtualKey, KeyState keys);
    // True when the command was handled; kNone gets default processing.
    bool OnSystemCommand(SystemCommand command);
    void OnWindowShown();
    // The Windows session is ending: the NDI side is released as at a
    // confirmed Exit, without the question, since the system will not wait.
    void OnSessionEnding();

    void GoLive(const std::u16string& text);
    void ToggleSlotMode(int slot);
    void ApplyVideoMode();
    void ExitCommand();

    // Read-only views for those who watch the panel from outside.
    int32_t Instance() const { return m_nInstance; }
    bool HasEnded() const { return m_bEnded; }
    const std::u16string& Live() const { return m_strLive; }
    const std::u16string& PreviousLive() const { return m_strPrevLive; }
    const std::u16string& Version() const { return m_strVersion; }
    bool LinkTicked() const { return m_bLink; }
    const OutputMode& Mode() const { return m_mode; }

  private:
    // Releases the NDI side and the copy's number, and ends the panel with the
    // cancel result: the one teardown of a confirmed Exit and of the session's
    // end. Runs once.
    void EndPanel();
    // "OK to exit?", after what holds the numbers when none could be claimed.
    void AskToExit(std::u16string_view question);
    void RunNumberingStep();
    void EndStartupPeriod();
    void ClearOutput();
    void AppendSlotToEntry(int slot);
    void ClearSlot(int slot);
    void ToggleAlwaysOnTop();
    bool ReadAllControls();
    void WriteAllControls();
    void RunKeyAction(const KeyAction& action);
    std::u16string FormatVersion();
    // What the output has to know of the live text at this moment.
    LiveText LiveNow() const;
    std::optional<int32_t> HeldNumber() const;

    // Bound to controls.
    std::u16string m_strEntry;
    std::array<std::u16string, kSlotCount> m_strSlot;
    bool m_bAlpha = false;
    bool m_bLink = false;
    int32_t m_nResolution = 0;
    int32_t m_nRate = 0;

    OutputMode m_mode;  // the output's mode, as last chosen

    // Live text.
    std::u16string m_strLive;
    std::u16string m_strPrevLive;

    // Start-up and numbering.
    int32_t m_nInstance = 0;
    bool m_bDiscovering = false;
    bool m_bShowSupport = false;
    std::u16string m_strVersion;

    std::array<int32_t, kSlotCount> m_nSlotMode{};
    bool m_bAlwaysOnTop = false;

    IPanelWindow& m_window;         // not owned
    ITimers& m_timers;              // not owned
    IClock& m_clock;                // not owned
    IWebPages& m_webPages;          // not owned
    IProgramInfo& m_program;        // not owned
    ILinkBus& m_bus;                // not owned
    INumberClaims& m_numberClaims;  // not owned
    IOutput& m_output;              // not owned
    CDiscovery m_discovery;
    bool m_bInert = false;     // the NDI side could not start: only Exit works
    bool m_bNumbered = false;  // the numbering step gave this copy a number
    bool m_bEnded = false;
};

}  // namespace cuewire
