#include "video/win/PrivateFont.h"

#include "video/win/GdiOwners.h"

namespace cuewire {

CPrivateFont::CPrivateFont(HINSTANCE module, int resourceId) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    if (!found) {
        return;
    }
    // Resource memory belongs to the module: nothing to free but the registration.
    HGLOBAL loaded = LoadResource(module, found);
    void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (!data || size == 0) {
        return;
    }
    DWORD fontCount = 0;
    m_hFonts = AddFontMemResourceEx(data, size, nullptr, &fontCount);
    if (m_hFonts) {
        gdi_detail::CountCreated(GdiKind::kPrivateFont);
    }
}

CPrivateFont::~CPrivateFont() {
    if (m_hFonts) {
        gdi_detail::CountReleased(GdiKind::kPrivateFont,
                                  RemoveFontMemResourceEx(m_hFonts) != FALSE);
    }
}

namespace {

int CALLBACK NoteFamilyFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one match is enough
}

}  // namespace

bool IsFontFamilyInstalled(HDC dc, const wchar_t* family) {
    LOGFONTW query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, family, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, NoteFamilyFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace cuewire
