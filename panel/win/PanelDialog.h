#pragma once
#include <windows.h>

#include <array>
#include <memory>

#include "win32/DialogWindow.h"
#include "controls/win/ColButton.h"
#include "controls/win/ColStatic.h"
#include "dialogs/win/SupportDialog.h"
#include "panel/Panel.h"
#include "panel/PanelWindow.h"
#include "win32/GdiOwners.h"
#include "video/win/ScaledPicture.h"
#include "video/win/PreviewWindow.h"

namespace cuewire {

// The control panel's window (template 102): turns messages into calls on the
// panel's behaviour (CPanel) and the panel's requests into Win32 calls.
// UI thread only.
class CPanelDialog final : public CDialogWindow,
                           public IPanelWindow,
                           public ITimers,
                           public IClock,
                           public IWebPages,
                           public IProgramInfo {
  public:
    // `linkMessage` is the registered link message; `preview` draws control 1007.
    CPanelDialog(HINSTANCE instance, UINT linkMessage, CPreviewWindow& preview);
    ~CPanelDialog() override;

    // Runs the panel modally until it ends; `panel` receives every event.
    INT_PTR Run(CPanel& panel);

    // IPanelWindow
    void SetTitle(std::u16string_view title) override;
    void SetTopmost(bool topmost) override;
    void CheckAlwaysOnTop(bool checked) override;
    void EnableAlpha() override;
    void EnableEdits() override;
    void ShowModeLabel(std::u16string_view text) override;
    bool ReadControls(PanelControlValues& values) override;
    void WriteControls(const PanelControlValues& values) override;
    void ShowSlotMode(int slot, int state, std::u16string_view caption) override;
    void InitialiseSlotControls() override;
    MessageBoxAnswer ShowMessage(std::u16string_view text, std::u16string_view caption,
                                 MessageBoxButtons buttons) override;
    bool CreateSupportDialog() override;
    void ShowSupportDialog() override;
    void ShowAbout(std::u16string_view version, const char* runtimeVersion) override;
    void EndPanel(int result) override;

    // ITimers
    void StartTimer(int id, int milliseconds) override;
    void StopTimer(int id) override;
    // IClock
    uint64_t Milliseconds() override;
    // IWebPages
    void OpenWebPage(WebPage page) override;
    // IProgramInfo
    bool ReadFileVersion(std::array<uint16_t, 4>& version) override;
    uint32_t ProcessId() override;

  protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(const MSG& message) override;

  private:
    BOOL OnInitDialog();
    void OnCommand(int id, int notification);
    void OnClick(const ControlClick& click);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    bool OnPaint();
    void OnDestroy();
    void CentreOnScreen();
    void AttachControls();
    void SetFonts();
    void ScaleFonts(int fromDpi, int toDpi);
    void BuildSystemMenu();
    void SetIcons();
    void ShowPictures();
    void OnDpiChanged(int dpi, const RECT& suggested);
    bool ReadRadioGroup(int firstId, int lastId, int maxIndex, int32_t& index);
    void WriteEditText(int id, const std::u16string& text);

    // The application icon's sizes at 96 DPI.
    static constexpr int kIconSize = 32;
    static constexpr int kSmallIconSize = 16;

    CPanel* m_pPanel = nullptr;  // not owned; set while Run runs
    UINT m_nLinkMessage;
    CPreviewWindow& m_preview;  // not owned
    std::array<CColButton, kSlotCount> m_modeButtons;
    std::array<CColStatic, kSlotCount> m_indicators;
    int m_nDpi = 96;  // the window's scale, refreshed when it moves to another monitor
    CFontObject m_linkFont;
    CFontObject m_entryFont;
    CIconObject m_icon;              // at the window's scale
    CIconObject m_smallIcon;         // at the window's scale
    CScaledPicture m_socialPicture;  // 1005
    CScaledPicture m_videoPicture;   // 1006
    std::unique_ptr<CSupportDialog> m_pSupportDlg;
};

}  // namespace cuewire
