// The panel's requests, carried out on its window.
#include "panel/win/PanelDialog.h"

#include <shellapi.h>

#include "dialogs/win/AboutDlg.h"
#include "panel/win/SlotColours.h"
#include "res/WebPages.h"
#include "res/resource.h"
#include "win32/WideText.h"

namespace cuewire {

void CPanelDialog::SetTitle(std::u16string_view title) {
    SetWindowTextW(Handle(), ToWide(title).c_str());
}

void CPanelDialog::SetTopmost(bool topmost) {
    SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

void CPanelDialog::CheckAlwaysOnTop(bool checked) {
    CheckMenuItem(GetSystemMenu(Handle(), FALSE), IDM_ALWAYS_ON_TOP,
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void CPanelDialog::EnableAlpha() {
    EnableWindow(Control(IDC_ALPHA), TRUE);
}

void CPanelDialog::EnableEdits() {
    EnableWindow(Control(IDC_ENTRY), TRUE);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EnableWindow(Control(IDC_SLOT_EDIT_FIRST + slot), TRUE);
    }
    // The dialog's own way, so that the default button follows the focus.
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(IDC_ENTRY)), TRUE);
}

void CPanelDialog::ShowModeLabel(std::u16string_view text) {
    CDialogWindow::SetControlText(IDC_MODE_LABEL, ToWide(text));
}

void CPanelDialog::ShowSlotMode(int slot, int state, std::u16string_view caption) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    CColButton& button = m_modeButtons[static_cast<size_t>(slot)];
    button.m_nState = state;
    CDialogWindow::SetControlText(IDC_SLOT_MODE_FIRST + slot, ToWide(caption));
    button.Invalidate();
}

void CPanelDialog::InitialiseSlotControls() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        CColButton& button = m_modeButtons[static_cast<size_t>(slot)];
        button.m_crFill[1] = kGoLiveModeFill;
        button.m_crFill[2] = kCopyModeFill;
        button.m_nState = 1;
        button.Invalidate();

        CColStatic& indicator = m_indicators[static_cast<size_t>(slot)];
        CDialogWindow::SetControlText(IDC_SLOT_KEY_FIRST + slot, L"F" + std::to_wstring(slot + 3));
        indicator.m_crFill[2] = kKeyLabelFill;
        indicator.m_nState = 2;
        indicator.Invalidate();
    }
}

MessageBoxAnswer CPanelDialog::ShowMessage(std::u16string_view text, std::u16string_view caption,
                                           MessageBoxButtons buttons) {
    const UINT type = buttons == MessageBoxButtons::kOkCancel ? MB_OKCANCEL : MB_OK;
    const int answer = ShowMessageBox(ToWide(text), ToWide(caption), type);
    return answer == IDOK ? MessageBoxAnswer::kOk : MessageBoxAnswer::kCancel;
}

void CPanelDialog::StartTimer(int id, int milliseconds) {
    CDialogWindow::StartTimer(id, milliseconds);
}

void CPanelDialog::StopTimer(int id) {
    CDialogWindow::StopTimer(id);
}

uint64_t CPanelDialog::Milliseconds() {
    return GetTickCount64();
}

void CPanelDialog::OpenWebPage(WebPage page) {
    // Nothing is reported when no browser answers.
    ShellExecuteW(Handle(), L"open", WebAddress(page), nullptr, nullptr, SW_SHOWNORMAL);
}

uint32_t CPanelDialog::ProcessId() {
    return GetCurrentProcessId();
}

bool CPanelDialog::CreateSupportDialog() {
    m_pSupportDlg = CSupportDialog::Create(Instance(), Handle());
    return m_pSupportDlg != nullptr;
}

void CPanelDialog::ShowSupportDialog() {
    if (m_pSupportDlg) {
        m_pSupportDlg->ShowBesidePanel(Handle());
    }
}

void CPanelDialog::ShowAbout(std::u16string_view version, const char* runtimeVersion) {
    // Modal over the panel, which takes no input meanwhile; its timers and the
    // output carry on.
    ShowAboutBox(Instance(), Handle(), ToWide(version), runtimeVersion);
}

void CPanelDialog::EndPanel(int result) {
    End(result);
}

}  // namespace cuewire
