#include "video/win/DWriteTextCanvas.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "video/LineFit.h"
#include "video/win/DWriteGlyphRenderer.h"

namespace cuewire {

namespace {

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
    if (width <= 0 || height <= 0 || !pixels || !Prepare() || !PrepareCoverage(width, height)) {
        return CanvasResult::kNoCanvas;
    }
    std::fill_n(pixels, size_t(width) * size_t(height), 0u);
    m_nLastCell = cellHeight;
    if (!text.empty() && cellHeight > 0) {
        // One line, as the box has room for: a break would push the rest below it.
        m_strLine.assign(text);
        std::replace_if(m_strLine.begin(), m_strLine.end(), IsHardLineBreak, u' ');
        LayOutAndDraw(m_strLine, cellHeight, GreyPixels{pixels, width, height});
    }
    return CanvasResult::kDrawn;
}

bool CDWriteTextCanvas::Prepare() {
    if (m_bPrepared) {
        return static_cast<bool>(m_factory2);
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
    // Font fallback and greyscale glyph textures both come with the second
    // factory; without it there is nothing to draw with.
    m_factory2 = m_factory.As<IDWriteFactory2>();
    if (!m_factory2) {
        return false;
    }
    m_factory2->GetSystemFontFallback(m_fallback.Put());
    return true;
}

// One byte of coverage for each of the box's pixels, allocated when the box
// changes size and kept, so that drawing a line allocates nothing.
bool CDWriteTextCanvas::PrepareCoverage(int width, int height) {
    const size_t bytes = size_t(width) * size_t(height);
    if (m_coverage.size() == bytes) {
        return true;
    }
    try {
        m_coverage.assign(bytes, 0);
    } catch (const std::bad_alloc&) {
        m_coverage = {};
        return false;
    }
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

void CDWriteTextCanvas::LayOutAndDraw(std::u16string_view text, int cellHeight,
                                      GreyPixels line) {
    const int width = line.width, height = line.height;
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
    CDWriteGlyphRenderer renderer(m_factory2.Get(), line,
                                  float(cellTop + m_titleFace->AscentForCell(cell)), m_glyphs,
                                  m_coverage);
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
