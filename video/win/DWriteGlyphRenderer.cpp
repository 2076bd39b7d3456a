#include "video/win/DWriteGlyphRenderer.h"

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
    return m_pTarget->GetCurrentTransform(transform);
}

HRESULT STDMETHODCALLTYPE CDWriteGlyphRenderer::GetPixelsPerDip(void*, FLOAT* pixelsPerDip) {
    *pixelsPerDip = m_pTarget->GetPixelsPerDip();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDWriteGlyphRenderer::DrawGlyphRun(void*, FLOAT baselineOriginX, FLOAT,
                                                             DWRITE_MEASURING_MODE mode,
                                                             const DWRITE_GLYPH_RUN* glyphRun,
                                                             const DWRITE_GLYPH_RUN_DESCRIPTION*,
                                                             IUnknown*) {
    return m_pTarget->DrawGlyphRun(baselineOriginX, m_fBaselineY, mode, glyphRun, m_pParams,
                                   m_crColour, nullptr);
}

}  // namespace cuewire
