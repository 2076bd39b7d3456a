// The panel window's fonts, system menu, icons and file version.
#include "panel/win/PanelDialog.h"

#include <vector>

#include "res/resource.h"

namespace cuewire {

namespace {

constexpr int kEntryTypedLimit = 37;
constexpr LONG kEntryFontWeight = 600;

// A variant of the font a control uses now; null when the control has none.
template <typename Change>
HFONT DeriveFont(HWND control, Change change) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW description = {};
    if (!font || GetObjectW(font, sizeof description, &description) == 0) {
        return nullptr;
    }
    change(description);
    return CreateFontIndirectW(&description);
}

}  // namespace

void CPanelDialog::SetFonts() {
    // The link buttons look like web links.
    m_linkFont.Reset(
        DeriveFont(Control(IDC_LINK_MAKER), [](LOGFONTW& f) { f.lfUnderline = TRUE; }));
    if (m_linkFont.Get()) {
        const auto font = reinterpret_cast<WPARAM>(m_linkFont.Get());
        SendMessageW(Control(IDC_LINK_MAKER), WM_SETFONT, font, TRUE);
        SendMessageW(Control(IDC_LINK_NDI), WM_SETFONT, font, TRUE);
    }

    const HWND entry = Control(IDC_ENTRY);
    m_entryFont.Reset(DeriveFont(entry, [](LOGFONTW& f) {
        f.lfHeight *= 2;
        f.lfWeight = kEntryFontWeight;
    }));
    if (m_entryFont.Get()) {
        SendMessageW(entry, WM_SETFONT, reinterpret_cast<WPARAM>(m_entryFont.Get()), TRUE);
    }
    SendMessageW(entry, EM_LIMITTEXT, kEntryTypedLimit, 0);
}

void CPanelDialog::BuildSystemMenu() {
    const HMENU menu = GetSystemMenu(Handle(), FALSE);
    if (!menu) {
        return;
    }
    EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    wchar_t about[128] = {};
    if (LoadStringW(Instance(), IDS_ABOUTBOX, about, 128) <= 0) {
        return;
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ALWAYS_ON_TOP, L"Always on top");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ONLINE_HELP, L"Open online help (ReadMe file)");
    AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about);
}

void CPanelDialog::SetIcons() {
    // Shared icons belong to the system's cache: loaded once, never destroyed.
    m_hIcon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), LR_SHARED));
    m_hSmallIcon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
}

bool CPanelDialog::ReadFileVersion(std::array<uint16_t, 4>& version) {
    wchar_t path[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0) {
        return false;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) {
        return false;
    }
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path, 0, size, block.data())) {
        return false;
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    version = {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
               HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
    return true;
}

}  // namespace cuewire
