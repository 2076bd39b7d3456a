#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "res/WebPages.h"

namespace cuewire {

constexpr int kSlotCount = 8;

// The members bound to the panel's controls; a read fills all of them from the
// controls, a write fills all the controls from them.
struct PanelControlValues {
    std::u16string m_strEntry;
    bool m_bAlpha = false;
    bool m_bLink = false;
    int32_t m_nResolution = 0;
    int32_t m_nRate = 0;
    std::array<std::u16string, kSlotCount> m_strSlot;
};

enum class MessageBoxButtons { kOk, kOkCancel };
enum class MessageBoxAnswer { kOk, kCancel };

// The panel's window as the panel's behaviour reaches it: what to show, at
// the level of what happened. UI thread only.
class IPanelWindow {
  public:
    virtual ~IPanelWindow() = default;

    virtual void SetTitle(std::u16string_view title) = 0;
    virtual void SetTopmost(bool topmost) = 0;
    // The tick of "Always on top" in the system menu.
    virtual void CheckAlwaysOnTop(bool checked) = 0;
    // "+Alpha" becomes usable.
    virtual void EnableAlpha() = 0;
    // The entry line and the slots become editable, and the entry line takes the focus.
    virtual void EnableEdits() = 0;
    virtual void ShowModeLabel(std::u16string_view text) = 0;
    // False when a radio group's range check failed and the read ended there.
    virtual bool ReadControls(PanelControlValues& values) = 0;
    // Sets a control's text only when it differs, so unchanged edits stay quiet.
    virtual void WriteControls(const PanelControlValues& values) = 0;
    virtual void ShowSlotMode(int slot, int state, std::u16string_view caption) = 0;
    virtual void InitialiseSlotControls() = 0;
    virtual MessageBoxAnswer ShowMessage(std::u16string_view text, std::u16string_view caption,
                                         MessageBoxButtons buttons) = 0;
    // Creates the support dialog's object (not yet its window); false when it
    // cannot be made. Never throws.
    virtual bool CreateSupportDialog() = 0;
    virtual void ShowSupportDialog() = 0;
    // The runtime's own description of its version; null when it gives none.
    virtual void ShowAbout(std::u16string_view version, const char* runtimeVersion) = 0;
    virtual void EndPanel(int result) = 0;
};

// The panel's timers: each fires OnTimer with its id until stopped.
class ITimers {
  public:
    virtual ~ITimers() = default;
    virtual void StartTimer(int id, int milliseconds) = 0;
    virtual void StopTimer(int id) = 0;
};

// A monotonic clock in milliseconds, for what the panel paces by time
// rather than by its timers.
class IClock {
  public:
    virtual ~IClock() = default;
    virtual uint64_t Milliseconds() = 0;
};

// Opens a page in the user's browser; nothing is reported when none answers.
class IWebPages {
  public:
    virtual ~IWebPages() = default;
    virtual void OpenWebPage(WebPage page) = 0;
};

// What the program knows of itself.
class IProgramInfo {
  public:
    virtual ~IProgramInfo() = default;
    // The four numbers of the program file's version; false when unreadable.
    virtual bool ReadFileVersion(std::array<uint16_t, 4>& version) = 0;
    virtual uint32_t ProcessId() = 0;
};

}  // namespace cuewire
