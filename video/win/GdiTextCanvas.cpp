#include "video/win/GdiTextCanvas.h"

#include "res/resource.h"
#include "video/win/GdiOwners.h"

namespace cuewire {

namespace {

// The typeface titles are set in. It ships only with some office suites; where it
// is missing the bundled Libre Franklin Medium, a close relative, stands in.
constexpr wchar_t kTitleFace[] = L"Franklin Gothic Medium";
constexpr wchar_t kBundledFace[] = L"Libre Franklin Medium";
constexpr wchar_t kLastResortFace[] = L"Arial";

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

HFONT CreateFaceFont(int cellHeight, DWORD family, const wchar_t* face) {
    // A positive height asks for the cell height, internal leading included.
    return CreateFontW(cellHeight, 0, 0, 0, 0, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, family, face);
}

// Anti-aliased text needs the system's font smoothing. Turning it on persists and
// broadcasts a setting change to every window, so that happens only when it is off.
void EnsureFontSmoothing() {
    BOOL smoothing = FALSE;
    if (SystemParametersInfoW(SPI_GETFONTSMOOTHING, 0, &smoothing, 0) && smoothing) {
        return;
    }
    SystemParametersInfoW(SPI_SETFONTSMOOTHING, TRUE, nullptr,
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

}  // namespace

CGdiTextCanvas::CGdiTextCanvas(HWND referenceWindow, HINSTANCE fontModule)
    : m_hReferenceWindow(referenceWindow), m_hFontModule(fontModule) {
}

CGdiTextCanvas::~CGdiTextCanvas() = default;

CanvasResult CGdiTextCanvas::DrawLine(std::u16string_view text, int cellHeight, int width,
                                      int height, uint32_t* pixels) {
    if (width <= 0 || height <= 0 || !pixels) {
        return CanvasResult::kNoCanvas;
    }
    CWindowDC reference(m_hReferenceWindow);

    // Declared in the reverse of their release: the previous bitmap is selected
    // back first, then the context, the bitmap and the font are deleted, and the
    // reference context is released last.
    CFontObject font;
    CBitmapObject bitmap;
    CMemoryDC canvas(reference.Get());
    bitmap.Reset(CreateCompatibleBitmap(reference.Get(), width, height));
    if (!bitmap.Get()) {
        return CanvasResult::kNoCanvas;
    }
    CSelection bitmapSelection(canvas.Get(), bitmap.Get());
    if (!bitmapSelection.Succeeded()) {
        return CanvasResult::kNoCanvas;
    }
    font.Reset(CreateLineFont(reference.Get(), cellHeight));
    SelectObject(canvas.Get(), font.Get());  // the context is deleted before the font
    EnsureFontSmoothing();

    SetBkMode(canvas.Get(), OPAQUE);
    SetBkColor(canvas.Get(), kBlack);
    SetTextColor(canvas.Get(), kWhite);
    // A fresh bitmap is all zero: the line's black background.
    RECT box = {0, 0, width, height};
    // UTF-16 either way on Windows; an empty view may carry no pointer at all.
    const wchar_t* chars = text.empty() ? L"" : reinterpret_cast<const wchar_t*>(text.data());
    DrawTextW(canvas.Get(), chars, static_cast<int>(text.size()), &box,
              DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    if (m_drawnHook) {
        m_drawnHook(m_drawnHookContext, canvas.Get());
    }

    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    const int rows = GetDIBits(canvas.Get(), bitmap.Get(), 0, static_cast<UINT>(height), pixels,
                               &format, DIB_RGB_COLORS);
    return rows == height ? CanvasResult::kDrawn : CanvasResult::kIncomplete;
}

HFONT CGdiTextCanvas::CreateLineFont(HDC reference, int cellHeight) {
    HFONT font = CreateFaceFont(cellHeight, FF_ROMAN, PreferredFace(reference));
    return font ? font : CreateFaceFont(cellHeight, FF_SWISS, kLastResortFace);
}

const wchar_t* CGdiTextCanvas::PreferredFace(HDC reference) {
    if (m_bFaceChosen) {
        return m_pszFace;
    }
    m_bFaceChosen = true;
    m_pszFace = kTitleFace;
    // Without the face, the font mapper would substitute a serif face for it.
    if (!IsFontFamilyInstalled(reference, kTitleFace)) {
        m_bundledFont.emplace(m_hFontModule, IDR_LIBRE_FRANKLIN);
        if (m_bundledFont->Registered()) {
            m_pszFace = kBundledFace;
        }
    }
    return m_pszFace;
}

}  // namespace cuewire
