#include "video/win/DWriteTextCanvas.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "video/LineFit.h"
#include "video/win/DWriteGlyphRenderer.h"

namespace cuewire {

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
// Antialiasing may grey the column beside a glyph's outline: a shrunk line
// keeps that column inside the box too.
constexpr int kAntialiasColumns = 1;
// Locale of the layout; the fallback picks among a script's fonts by it.
constexpr wchar_t kLocale[] = L"en-us";

// Characters after which a text layout starts a new line, whatever its wrapping.
bool IsHardLineBreak(char16_t c) {
    return (c >= u'\n' && c <= u'\r') || c == u'\u0085' || c == u'\u2028' || c == u'\u2029';
}

}  // namespace

CDWriteTextCanvas::CDWriteTextCanvas(HINSTANCE fontModule) : m_hFontModule(fontModule) {
}

// Members go in reverse: the format and target before the face and the factory.
CDWriteTextCanvas::~CDWriteTextCanvas() = default;

std::wstring CDWriteTextCanvas::TitleFamily() const {
    return m_titleFace && m_titleFace->Found() ? m_titleFace->Family() : std::wstring();
}

CanvasResult CDWriteTextCanvas::DrawLine(std::u16string_view text, int cellHeight, int width,
                                         int height, uint32_t* pixels) {
    if (width <= 0 || height <= 0 || !pixels || !Prepare() || !PrepareTarget(width, height)) {
        return CanvasResult::kNoCanvas;
    }
    // The target keeps the last line: clear it to the black background.
    GdiFlush();
    for (int y = 0; y < height; ++y) {
        std::memset(m_pTargetBits + ptrdiff_t(y) * m_nTargetStride, 0, size_t(width) * 4);
    }
    m_nLastCell = cellHeight;
    if (!text.empty() && cellHeight > 0) {
        // One line, as the box has room for: a break would push the rest below it.
        m_strLine.assign(text);
        std::replace_if(m_strLine.begin(), m_strLine.end(), IsHardLineBreak, u' ');
        LayOutAndDraw(m_strLine, cellHeight, width, height);
    }
    GdiFlush();
    // Grey levels only: whatever the target leaves in the fourth byte is not ours.
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = m_pTargetBits + ptrdiff_t(y) * m_nTargetStride;
        uint32_t* out = pixels + size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            out[x] = row[x] & 0x00ffffffu;
        }
    }
    return CanvasResult::kDrawn;
}

bool CDWriteTextCanvas::Prepare() {
    if (m_bPrepared) {
        return static_cast<bool>(m_renderingParams);
    }
    m_bPrepared = true;
    if (FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                   reinterpret_cast<IUnknown**>(m_factory.Put())))) {
        return false;
    }
    m_titleFace.reset(new (std::nothrow) CDWriteTitleFace(m_factory.Get(), m_hFontModule));
    if (!m_titleFace) {
        return false;
    }
    if (CComRef<IDWriteFactory2> factory2 = m_factory.As<IDWriteFactory2>()) {
        factory2->GetSystemFontFallback(m_fallback.Put());
    }
    // The system's gamma and contrast, without ClearType's coloured fringes.
    CComRef<IDWriteRenderingParams> system;
    if (FAILED(m_factory->CreateRenderingParams(system.Put()))) {
        return false;
    }
    m_factory->CreateCustomRenderingParams(
        system->GetGamma(), system->GetEnhancedContrast(), 0.0f, DWRITE_PIXEL_GEOMETRY_FLAT,
        DWRITE_RENDERING_MODE_NATURAL_SYMMETRIC, m_renderingParams.Put());
    return static_cast<bool>(m_renderingParams);
}

bool CDWriteTextCanvas::PrepareTarget(int width, int height) {
    if (m_target && width == m_nTargetWidth && height == m_nTargetHeight) {
        return true;
    }
    m_pTargetBits = nullptr;
    if (m_target) {
        if (FAILED(m_target->Resize(UINT32(width), UINT32(height)))) {
            m_target.Reset();
        }
    }
    if (!m_target) {
        CComRef<IDWriteGdiInterop> interop;
        if (FAILED(m_factory->GetGdiInterop(interop.Put())) ||
            FAILED(interop->CreateBitmapRenderTarget(nullptr, UINT32(width), UINT32(height),
                                                     m_target.Put()))) {
            return false;
        }
        // One pixel a unit whatever the display's scale: the box is in pixels.
        m_target->SetPixelsPerDip(1.0f);
        if (auto target1 = m_target.As<IDWriteBitmapRenderTarget1>()) {
            target1->SetTextAntialiasMode(DWRITE_TEXT_ANTIALIAS_MODE_GRAYSCALE);
        }
    }
    // The target draws into a DIB section of its own; read it in place.
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(m_target->GetMemoryDC(), OBJ_BITMAP));
    DIBSECTION section = {};
    if (!bitmap || GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) ||
        !section.dsBm.bmBits || section.dsBm.bmBitsPixel != 32 || section.dsBm.bmWidth < width ||
        section.dsBm.bmHeight < height) {
        m_target.Reset();
        return false;
    }
    // Its rows run top-down, whatever sign the bitmap's header reports.
    m_pTargetBits = static_cast<uint32_t*>(section.dsBm.bmBits);
    m_nTargetStride = section.dsBm.bmWidthBytes / 4;
    m_nTargetWidth = width;
    m_nTargetHeight = height;
    return true;
}

IDWriteTextFormat* CDWriteTextCanvas::FormatForCell(int cellHeight) {
    if (m_format && m_nFormatCell == cellHeight) {
        return m_format.Get();
    }
    m_format.Reset();
    const CDWriteTitleFace& face = *m_titleFace;
    if (FAILED(m_factory->CreateTextFormat(
            face.Family().c_str(), face.Collection(), face.Weight(), face.Style(), face.Stretch(),
            face.EmSizeForCell(cellHeight), kLocale, m_format.Put()))) {
        return nullptr;
    }
    m_format->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    m_format->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_LEADING);
    if (m_fallback) {
        if (auto format1 = m_format.As<IDWriteTextFormat1>()) {
            format1->SetFontFallback(m_fallback.Get());
        }
    }
    m_nFormatCell = cellHeight;
    return m_format.Get();
}

void CDWriteTextCanvas::LayOutAndDraw(std::u16string_view text, int cellHeight, int width,
                                      int height) {
    IDWriteTextFormat* format = FormatForCell(cellHeight);
    CComRef<IDWriteTextLayout> layout;
    const UINT32 length = UINT32(text.size());
    // UTF-16 either way on Windows.
    if (!format ||
        FAILED(m_factory->CreateTextLayout(reinterpret_cast<const wchar_t*>(text.data()), length,
                                           format, float(width), float(height), layout.Put()))) {
        return;
    }
    const int cell = FittedCellHeight(cellHeight, LineWidthAboutCentre(layout.Get(), width),
                                      width - 2 * kAntialiasColumns);
    if (cell != cellHeight) {
        layout->SetFontSize(m_titleFace->EmSizeForCell(cell), DWRITE_TEXT_RANGE{0, length});
    }
    m_nLastCell = cell;
    DWRITE_TEXT_METRICS metrics = {};
    if (FAILED(layout->GetMetrics(&metrics))) {
        return;
    }
    // Centred both ways as the cell box of a GDI font would be.
    const float left = (float(width) - metrics.widthIncludingTrailingWhitespace) / 2 - metrics.left;
    const int cellTop = (height - cell) / 2;
    CDWriteGlyphRenderer renderer(m_target.Get(), m_renderingParams.Get(), kWhite,
                                  float(cellTop + m_titleFace->AscentForCell(cell)));
    layout->Draw(nullptr, &renderer, left, 0.0f);
}

// Twice the farthest the line reaches, ink or advance, from the centre of its
// advance: centred in a box that wide, nothing of it is cut.
double CDWriteTextCanvas::LineWidthAboutCentre(IDWriteTextLayout* layout, int boxWidth) const {
    DWRITE_TEXT_METRICS metrics = {};
    if (FAILED(layout->GetMetrics(&metrics))) {
        return 0.0;
    }
    double left = metrics.left;
    double right = metrics.left + metrics.widthIncludingTrailingWhitespace;
    const double centre = (left + right) / 2;
    DWRITE_OVERHANG_METRICS overhang = {};
    if (SUCCEEDED(layout->GetOverhangMetrics(&overhang))) {
        left = std::min(left, double(-overhang.left));
        right = std::max(right, double(boxWidth) + overhang.right);
    }
    return 2 * std::max(centre - left, right - centre);
}

}  // namespace cuewire
