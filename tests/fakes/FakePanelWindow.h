#pragma once
// The panel's window, with the desktop's services, as a recorder: controls
// hold values, an edit whose text a write changes notifies its change at once
// (as a real edit does), what is enabled and focused is kept by control ID as
// the dialog keeps it, timers are a table the test fires by hand, the clock moves when the test moves it, message
// boxes answer from a script and may let other messages in while they wait.
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "panel/PanelWindow.h"
#include "res/resource.h"

namespace cuewire::testing {

class FakePanelWindow final : public IPanelWindow,
                              public ITimers,
                              public IClock,
                              public IWebPages,
                              public IProgramInfo {
  public:
    FakePanelWindow() {
        disabled = {IDC_ENTRY, IDC_ALPHA};
        for (int i = 0; i < kSlotCount; ++i) {
            disabled.insert(IDC_SLOT_EDIT_FIRST + i);
            slotCaptions[i] = u"Go live";
        }
        controlTexts[IDC_MODE_LABEL] = u"Resolution & frame-rate";
    }

    void SetTitle(std::u16string_view text) override { title = text; }
    void SetTopmost(bool value) override {
        topmost = value;
        topmostCalls.push_back(value);
    }
    void CheckAlwaysOnTop(bool checked) override { menuChecks[IDM_ALWAYS_ON_TOP] = checked; }
    void EnableAlpha() override { disabled.erase(IDC_ALPHA); }
    void EnableEdits() override {
        disabled.erase(IDC_ENTRY);
        for (int i = 0; i < kSlotCount; ++i) {
            disabled.erase(IDC_SLOT_EDIT_FIRST + i);
        }
        focus = IDC_ENTRY;
    }
    void ShowModeLabel(std::u16string_view text) override { controlTexts[IDC_MODE_LABEL] = text; }
    bool ReadControls(PanelControlValues& out) override {
        ++reads;
        out = controls;
        return true;
    }
    void WriteControls(const PanelControlValues& in) override {
        ++writes;
        const bool entryChanged = controls.m_strEntry != in.m_strEntry;
        bool slotChanged = false;
        for (int i = 0; i < kSlotCount; ++i) {
            slotChanged |= controls.m_strSlot[i] != in.m_strSlot[i];
        }
        controls = in;
        if ((entryChanged || slotChanged) && onEditChanged) {
            onEditChanged();
        }
    }
    void ShowSlotMode(int slot, int state, std::u16string_view caption) override {
        slotStates[slot] = state;
        slotCaptions[slot] = caption;
    }
    void InitialiseSlotControls() override { slotControlsInitialised = true; }
    MessageBoxAnswer ShowMessage(std::u16string_view text, std::u16string_view caption,
                                 MessageBoxButtons) override {
        messages.push_back(std::u16string(text) + u"|" + std::u16string(caption));
        if (whileAsking) {
            whileAsking();
        }
        if (answers.empty()) {
            return MessageBoxAnswer::kOk;
        }
        const MessageBoxAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void StartTimer(int id, int milliseconds) override { timers[id] = milliseconds; }
    void StopTimer(int id) override { timers.erase(id); }
    uint64_t Milliseconds() override { return nowMs; }
    void OpenWebPage(WebPage page) override { pages.push_back(page); }
    bool ReadFileVersion(std::array<uint16_t, 4>& out) override {
        out = version;
        return hasVersion;
    }
    uint32_t ProcessId() override { return processId; }
    bool CreateSupportDialog() override { return supportCreates; }
    void ShowSupportDialog() override { ++supportShown; }
    void ShowAbout(std::u16string_view text, const char*) override {
        aboutVersions.emplace_back(text);
    }
    void EndPanel(int result) override { endResult = result; }

    // Types into a control as the operator would: the change is notified.
    void Type(int id, const std::u16string& text) {
        if (id == IDC_ENTRY) {
            controls.m_strEntry = text;
        } else {
            controls.m_strSlot[static_cast<size_t>(id - IDC_SLOT_EDIT_FIRST)] = text;
        }
        if (onEditChanged) {
            onEditChanged();
        }
    }
    bool TimerRunning(int id) const { return timers.count(id) != 0; }

    PanelControlValues controls;
    std::function<void()> onEditChanged;
    // Runs while a message box is open, as the box's own message loop would.
    std::function<void()> whileAsking;
    std::u16string title = u"NDI Cuewire";
    bool topmost = false;
    std::vector<bool> topmostCalls;
    std::map<int, bool> menuChecks;
    std::set<int> disabled;
    int focus = 0;
    std::map<int, std::u16string> controlTexts;
    std::map<int, int> slotStates;
    std::map<int, std::u16string> slotCaptions;
    bool slotControlsInitialised = false;
    std::vector<std::u16string> messages;
    std::deque<MessageBoxAnswer> answers;
    std::map<int, int> timers;
    uint64_t nowMs = 1000000;
    std::vector<WebPage> pages;
    std::array<uint16_t, 4> version{1, 0, 0, 6};
    bool hasVersion = true;
    uint32_t processId = 1000;
    bool supportCreates = true;  // false: the support dialog's object cannot be made
    int supportShown = 0;
    std::vector<std::u16string> aboutVersions;
    int endResult = -1;
    int reads = 0;
    int writes = 0;
};

}  // namespace cuewire::testing
