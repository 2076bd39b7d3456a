#include "panel/win/PanelDialog.h"

#include "geometry/DisplayScale.h"
#include "res/resource.h"
#include "win32/WindowDpi.h"
#include "win32/WorkArea.h"

namespace cuewire {

namespace {

// The platform's F1 notice (WM_KEYF1), which the SDK headers do not declare.
constexpr UINT kKeyF1Notice = 0x004D;

}  // namespace

CPanelDialog::CPanelDialog(HINSTANCE instance, UINT linkMessage, CPreviewWindow& preview)
    : CDialogWindow(instance, IDD_CUEWIRE_DIALOG), m_nLinkMessage(linkMessage), m_preview(preview) {
}

CPanelDialog::~CPanelDialog() = default;

INT_PTR CPanelDialog::Run(CPanel& panel) {
    m_pPanel = &panel;
    const INT_PTR result = RunModal(nullptr);
    m_pPanel = nullptr;
    return result;
}

bool CPanelDialog::PreTranslateMessage(const MSG& message) {
    KeyMessage kind;
    switch (message.message) {
        case WM_KEYDOWN:
            kind = KeyMessage::kKeyDown;
            break;
        case WM_SYSKEYDOWN:
            kind = KeyMessage::kSysKeyDown;
            break;
        case kKeyF1Notice:
            kind = KeyMessage::kHelpNotice;
            break;
        default:
            return false;
    }
    // Keys for the panel or any of its controls, disabled edits included.
    const HWND panel = Handle();
    if (!panel || (message.hwnd != panel && !IsChild(panel, message.hwnd))) {
        return false;
    }
    const KeyState keys{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_RMENU) < 0};
    return m_pPanel->PreTranslateKey(kind, static_cast<int>(message.wParam), keys);
}

INT_PTR CPanelDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_nLinkMessage && m_nLinkMessage != 0) {
        m_pPanel->OnLinkMessage(static_cast<uint64_t>(wParam), static_cast<int64_t>(lParam));
        SetMessageResult(0);
        return TRUE;
    }
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_TIMER:
            // Never to default processing: every tick is the panel's.
            m_pPanel->OnTimer(static_cast<int>(wParam));
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_SYSCOMMAND:
            return m_pPanel->OnSystemCommand(SystemCommandFor(static_cast<int>(wParam))) ? TRUE
                                                                                         : FALSE;
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            SetMessageResult(TRUE);
            return TRUE;
        case WM_WINDOWPOSCHANGED:
            if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) {
                m_pPanel->OnWindowShown();
            }
            return FALSE;  // the dialog's own handling still runs
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(m_icon.Get());
        case WM_DPICHANGED:
            OnDpiChanged(DpiOfChange(wParam), *reinterpret_cast<const RECT*>(lParam));
            return FALSE;  // the dialog manager still lays out the template's controls
        case WM_QUERYENDSESSION:
            // Never hold the session up: the teardown comes with WM_ENDSESSION,
            // once it is sure that the session ends.
            SetMessageResult(TRUE);
            return TRUE;
        case WM_ENDSESSION:
            // The system may end the process as soon as this returns.
            if (wParam) {
                m_pPanel->OnSessionEnding();
            }
            SetMessageResult(0);
            return TRUE;
        case WM_CLOSE:
            // A close sent straight to the window, as End task may: as Exit.
            m_pPanel->OnSystemCommand(SystemCommand::kClose);
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL CPanelDialog::OnInitDialog() {
    m_nDpi = WindowDpi(Handle());
    CentreOnScreen();
    AttachControls();
    SetFonts();
    BuildSystemMenu();
    SetIcons();
    ShowPictures();
    return m_pPanel->OnInitDialog() ? TRUE : FALSE;
}

// Where a framework dialog opens: the middle of the work area, so that the
// support dialog finds room beside it.
void CPanelDialog::CentreOnScreen() {
    RECT window;
    if (!GetWindowRect(Handle(), &window)) {
        return;
    }
    const RECT work = WorkAreaOf(Handle());
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(Handle(), nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPanelDialog::AttachControls() {
    m_preview.Attach(Control(IDC_PREVIEW));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        m_modeButtons[static_cast<size_t>(slot)].Attach(Handle(), IDC_SLOT_MODE_FIRST + slot);
        m_indicators[static_cast<size_t>(slot)].Attach(Handle(), IDC_SLOT_KEY_FIRST + slot);
    }
}

void CPanelDialog::OnCommand(int id, int notification) {
    if (notification == EN_CHANGE && IsTextEdit(id)) {
        m_pPanel->OnTextChanged();
    } else if (notification == BN_CLICKED) {  // STN_CLICKED has the same value
        OnClick(ClickOn(id));
    }
}

void CPanelDialog::OnClick(const ControlClick& click) {
    switch (click.event) {
        case ControlEvent::kVideoMode:
            m_pPanel->OnVideoModeClicked();
            break;
        case ControlEvent::kLinkTick:
            m_pPanel->OnLinkTickClicked();
            break;
        case ControlEvent::kWebLink:
            m_pPanel->OnWebLinkClicked(click.page);
            break;
        case ControlEvent::kSlotMode:
            m_pPanel->ToggleSlotMode(click.slot);
            break;
        case ControlEvent::kSlotKey:
            m_pPanel->OnSlotKeyClicked(click.slot);
            break;
        case ControlEvent::kExit:
            m_pPanel->ExitCommand();
            break;
        case ControlEvent::kNone:
            break;
    }
}

void CPanelDialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const int id = static_cast<int>(item.CtlID);
    if (id == IDC_PREVIEW) {
        m_preview.DrawItem(item);
    } else if (id >= IDC_SLOT_MODE_FIRST && id <= IDC_SLOT_MODE_LAST) {
        m_modeButtons[static_cast<size_t>(id - IDC_SLOT_MODE_FIRST)].DrawItem(item);
    }
}

bool CPanelDialog::OnPaint() {
    if (!IsIconic(Handle())) {
        return false;
    }
    // Minimised: the icon, centred over its erased background.
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(Handle(), &paint);
    SendMessageW(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(Handle(), &client);
    const int size = ScaleForDpi(kIconSize, m_nDpi);
    const int x = (client.right - size + 1) / 2;
    const int y = (client.bottom - size + 1) / 2;
    DrawIconEx(dc, x, y, m_icon.Get(), size, size, 0, nullptr, DI_NORMAL);
    EndPaint(Handle(), &paint);
    return true;
}

void CPanelDialog::OnDestroy() {
    m_preview.Detach();
}

}  // namespace cuewire
