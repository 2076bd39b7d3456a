// The panel window's fonts, system menu, icons, pictures and file version, at
// the window's display scale.
#include "panel/win/PanelDialog.h"

#include "geometry/DisplayScale.h"
#include "win32/WindowDpi.h"
#include "panel/VersionResource.h"
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
    // These fonts are ours: on a monitor of another scale ScaleFonts rebuilds them.
    KeepOwnFontOnDpiChange(Control(IDC_LINK_MAKER));
    KeepOwnFontOnDpiChange(Control(IDC_LINK_NDI));
    KeepOwnFontOnDpiChange(entry);
}

void CPanelDialog::ScaleFonts(int fromDpi, int toDpi) {
    const auto scale = [fromDpi, toDpi](LOGFONTW& f) {
        f.lfHeight = MulDiv(f.lfHeight, toDpi, fromDpi);
        f.lfWidth = MulDiv(f.lfWidth, toDpi, fromDpi);
    };
    // The new font goes to the controls before the old one is released.
    if (HFONT link = DeriveFont(Control(IDC_LINK_MAKER), scale)) {
        SendMessageW(Control(IDC_LINK_MAKER), WM_SETFONT, reinterpret_cast<WPARAM>(link), TRUE);
        SendMessageW(Control(IDC_LINK_NDI), WM_SETFONT, reinterpret_cast<WPARAM>(link), TRUE);
        m_linkFont.Reset(link);
    }
    if (HFONT entry = DeriveFont(Control(IDC_ENTRY), scale)) {
        SendMessageW(Control(IDC_ENTRY), WM_SETFONT, reinterpret_cast<WPARAM>(entry), TRUE);
        m_entryFont.Reset(entry);
    }
}

void CPanelDialog::BuildSystemMenu() {
    const HMENU menu = GetSystemMenu(Handle(), FALSE);
    if (!menu) {
        return;
    }
    // The close command stays usable: a close from the title bar or from the
    // system (End task) asks "OK to exit?" as Exit does, where a greyed one
    // would have the system end the process without its teardown.
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
    // Loaded at the window's scale from the icon's own sizes; the window lets go
    // of the old icons before they are destroyed.
    const auto load = [this](int sizeAt96) {
        const int size = ScaleForDpi(sizeAt96, m_nDpi);
        return static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                             IMAGE_ICON, size, size, 0));
    };
    const HICON icon = load(kIconSize);
    const HICON smallIcon = load(kSmallIconSize);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    m_icon.Reset(icon);
    m_smallIcon.Reset(smallIcon);
}

void CPanelDialog::ShowPictures() {
    m_socialPicture.Show(Control(IDC_LINK_SOCIAL), Instance(), IDB_SOCIAL_SMALL, m_nDpi);
    m_videoPicture.Show(Control(IDC_LINK_VIDEO), Instance(), IDB_VIDEO_SMALL, m_nDpi);
}

// On a monitor of another scale: the size the system suggests, and our fonts,
// pictures and icons again at that scale. The dialog manager lays out the
// template's controls and gives them the dialog's font at the new scale.
void CPanelDialog::OnDpiChanged(int dpi, const RECT& suggested) {
    TakeSuggestedRect(Handle(), suggested);
    if (dpi <= 0 || dpi == m_nDpi) {
        return;
    }
    ScaleFonts(m_nDpi, dpi);
    m_nDpi = dpi;
    SetIcons();
    ShowPictures();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        m_modeButtons[static_cast<size_t>(slot)].Invalidate();
        m_indicators[static_cast<size_t>(slot)].Invalidate();
    }
}

// From the program's own version resource: reading it through the file would
// take a helper library that a planted copy could stand in for.
bool CPanelDialog::ReadFileVersion(std::array<uint16_t, 4>& version) {
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const auto* block = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!block) {
        return false;
    }
    return ReadFixedFileVersion(std::span<const uint8_t>(block, SizeofResource(nullptr, found)),
                                version);
}

}  // namespace cuewire
