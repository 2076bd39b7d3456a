// Moving values between the panel's controls and its bound members.
#include <string>

#include "win32/WideText.h"
#include "panel/win/PanelDialog.h"
#include "res/resource.h"

namespace cuewire {

bool CPanelDialog::ReadControls(PanelControlValues& values) {
    values.m_strEntry = FromWide(ControlText(IDC_ENTRY));
    values.m_bAlpha = IsDlgButtonChecked(Handle(), IDC_ALPHA) == BST_CHECKED;
    values.m_bLink = IsDlgButtonChecked(Handle(), IDC_LINK) == BST_CHECKED;
    if (!ReadRadioGroup(IDC_RES_720, IDC_RES_HIDDEN, 1, values.m_nResolution) ||
        !ReadRadioGroup(IDC_RATE_25, IDC_RATE_30, 2, values.m_nRate)) {
        return false;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        values.m_strSlot[static_cast<size_t>(slot)] =
            FromWide(ControlText(IDC_SLOT_EDIT_FIRST + slot));
    }
    return true;
}

// The index of the checked button in the group, as the dialog's data exchange
// reads it: a group with none checked (or the hidden third resolution) fails
// the range check with the platform's usual message.
bool CPanelDialog::ReadRadioGroup(int firstId, int lastId, int maxIndex, int32_t& index) {
    index = -1;
    for (int id = firstId; id <= lastId; ++id) {
        if (IsDlgButtonChecked(Handle(), id) == BST_CHECKED) {
            index = id - firstId;
            break;
        }
    }
    if (index >= 0 && index <= maxIndex) {
        return true;
    }
    const std::wstring text =
        L"Please enter an integer between 0 and " + std::to_wstring(maxIndex) + L".";
    ShowMessageBox(text, L"Cuewire", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CPanelDialog::WriteControls(const PanelControlValues& values) {
    WriteEditText(IDC_ENTRY, values.m_strEntry);
    CheckDlgButton(Handle(), IDC_ALPHA, values.m_bAlpha ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_LINK, values.m_bLink ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(Handle(), IDC_RES_720, IDC_RES_HIDDEN, IDC_RES_720 + values.m_nResolution);
    CheckRadioButton(Handle(), IDC_RATE_25, IDC_RATE_30, IDC_RATE_25 + values.m_nRate);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        WriteEditText(IDC_SLOT_EDIT_FIRST + slot, values.m_strSlot[static_cast<size_t>(slot)]);
    }
}

void CPanelDialog::WriteEditText(int id, const std::u16string& text) {
    // An unchanged edit must stay quiet: setting its text would report a change.
    const std::wstring wide = ToWide(text);
    if (ControlText(id) != wide) {
        CDialogWindow::SetControlText(id, wide);
    }
}

}  // namespace cuewire
