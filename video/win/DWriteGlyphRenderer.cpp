#include "video/win/DWriteGlyphRenderer.h"

#include <cmath>

#include "win32/ComRef.h"

namespace cuewire {

HRESULT STDMETHODCALLTYPE CDWriteGlyphRenderer::QueryInterface(REFIID riid, void** object) {
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDWritePixelSnapping) ||
        riid == __uuidof(IDWriteTextRenderer)) {
        *object = static_cast<IDWriteTextRenderer*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CDWriteGlyphRenderer::IsPixelSnappingDisabled(void*, BOOL* disabled) {
    *disabled = FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDWriteGlyphRenderer::GetCurrentTransform(void*,
                                                                    DWRITE_MATRIX* transform) {
    *transform = DWRITE_MATRIX{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    return S_OK;
}

// The box is measured in pixels whatever the display's scale.
HRESULT STDMETHODCALLTYPE CDWriteGlyphRenderer::GetPixelsPerDip(void*, FLOAT* pixelsPerDip) {
    *pixelsPerDip = 1.0f;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDWriteGlyphRenderer::DrawGlyphRun(void*, FLOAT baselineOriginX, FLOAT,
                                                             DWRITE_MEASURING_MODE mode,
                                                             const DWRITE_GLYPH_RUN* glyphRun,
                                                             const DWRITE_GLYPH_RUN_DESCRIPTION*,
                                                             IUnknown*) {
    float penX = baselineOriginX;
    const UINT32 drawn = DrawCachedGlyphs(*glyphRun, mode, penX);
    if (drawn == glyphRun->glyphCount) {
        return S_OK;
    }
    // The rest of the run, from where the cache gave up.
    DWRITE_GLYPH_RUN rest = *glyphRun;
    rest.glyphCount -= drawn;
    rest.glyphIndices += drawn;
    rest.glyphAdvances = rest.glyphAdvances ? rest.glyphAdvances + drawn : nullptr;
    rest.glyphOffsets = rest.glyphOffsets ? rest.glyphOffsets + drawn : nullptr;
    return DrawWholeRun(rest, mode, penX);
}

// Each glyph at its own origin: the pen moves by the advances, right to left
// in a right-to-left run, and an offset nudges a glyph along the run and up.
// Gives the number of glyphs drawn, and leaves the pen after the last.
UINT32 CDWriteGlyphRenderer::DrawCachedGlyphs(const DWRITE_GLYPH_RUN& run,
                                              DWRITE_MEASURING_MODE mode, float& penX) {
    if (!run.glyphAdvances) {
        return 0;
    }
    const bool rightToLeft = (run.bidiLevel & 1) != 0;
    const RECT line = {0, 0, m_target.width, m_target.height};
    UINT32 g = 0;
    for (; g < run.glyphCount; ++g) {
        const float advance = run.glyphAdvances[g];
        const DWRITE_GLYPH_OFFSET offset = run.glyphOffsets ? run.glyphOffsets[g]
                                                            : DWRITE_GLYPH_OFFSET{};
        const float leftX = rightToLeft ? penX - advance - offset.advanceOffset
                                        : penX + offset.advanceOffset;
        const float y = m_fBaselineY - offset.ascenderOffset;
        GlyphCoverage glyph;
        if (!m_glyphs.Find(m_pFactory, run, g, mode, leftX, y, glyph)) {
            break;
        }
        const LONG pixelX = LONG(std::lround(std::floor(leftX)));
        const LONG pixelY = LONG(std::lround(std::floor(y)));
        RECT placed = glyph.bounds;
        OffsetRect(&placed, pixelX, pixelY);
        RECT area = {};
        if (IntersectRect(&area, &placed, &line)) {
            const int columns = glyph.bounds.right - glyph.bounds.left;
            AddCoverage(area,
                       glyph.bytes + size_t(area.top - placed.top) * columns +
                           (area.left - placed.left),
                       columns);
        }
        penX += rightToLeft ? -advance : advance;
    }
    return g;
}

HRESULT CDWriteGlyphRenderer::DrawWholeRun(const DWRITE_GLYPH_RUN& run,
                                           DWRITE_MEASURING_MODE mode, float originX) {
    CComRef<IDWriteGlyphRunAnalysis> analysis;
    HRESULT hr = m_pFactory->CreateGlyphRunAnalysis(
        &run, nullptr, DWRITE_RENDERING_MODE_NATURAL_SYMMETRIC, mode,
        DWRITE_GRID_FIT_MODE_DEFAULT, DWRITE_TEXT_ANTIALIAS_MODE_GRAYSCALE, originX, m_fBaselineY,
        analysis.Put());
    if (FAILED(hr)) {
        return hr;
    }
    RECT bounds = {};
    hr = analysis->GetAlphaTextureBounds(DWRITE_TEXTURE_ALIASED_1x1, &bounds);
    const RECT line = {0, 0, m_target.width, m_target.height};
    RECT area = {};
    if (FAILED(hr) || !IntersectRect(&area, &bounds, &line)) {
        return hr;
    }
    // Clipped to the line, a run's texture fits the buffer sized for the line.
    const int columns = area.right - area.left;
    const size_t bytes = size_t(columns) * size_t(area.bottom - area.top);
    if (m_texture.size() < bytes) {
        return E_NOT_SUFFICIENT_BUFFER;
    }
    hr = analysis->CreateAlphaTexture(DWRITE_TEXTURE_ALIASED_1x1, &area, m_texture.data(),
                                      UINT32(bytes));
    if (SUCCEEDED(hr)) {
        AddCoverage(area, m_texture.data(), columns);
    }
    return hr;
}

// White on the line's black by each pixel's coverage. Where glyphs share a
// pixel, their coverages are or-ed: that lies between the larger and the sum
// of the two, as the coverage of the shapes together does, and it is what a
// whole run's texture holds where its glyphs meet under Wine, so there a line
// is the same drawn glyph by glyph from the cache or as one run.
void CDWriteGlyphRenderer::AddCoverage(const RECT& area, const BYTE* coverage,
                                       int coverageColumns) {
    const int columns = area.right - area.left;
    for (int y = area.top; y < area.bottom; ++y, coverage += coverageColumns) {
        uint32_t* row = m_target.pixels + size_t(y) * m_target.width + area.left;
        for (int x = 0; x < columns; ++x) {
            const uint32_t grey = (row[x] & 0xff) | coverage[x];
            row[x] = grey << 16 | grey << 8 | grey;
        }
    }
}

}  // namespace cuewire
