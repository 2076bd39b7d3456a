#pragma once
#include <windows.h>
#include <dwrite_1.h>

namespace cuewire {

// Draws a text layout's glyph runs into a bitmap render target in one colour, on
// one fixed baseline: a line mixing fonts keeps the title face's baseline
// whatever the taller fallback fonts would make of it. Lives on the stack of
// one drawing; its reference count is not used. UI thread only.
class CDWriteGlyphRenderer final : public IDWriteTextRenderer {
  public:
    CDWriteGlyphRenderer(IDWriteBitmapRenderTarget* target, IDWriteRenderingParams* params,
                         COLORREF colour, float baselineY)
        : m_pTarget(target), m_pParams(params), m_crColour(colour), m_fBaselineY(baselineY) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE IsPixelSnappingDisabled(void*, BOOL* disabled) override;
    HRESULT STDMETHODCALLTYPE GetCurrentTransform(void*, DWRITE_MATRIX* transform) override;
    HRESULT STDMETHODCALLTYPE GetPixelsPerDip(void*, FLOAT* pixelsPerDip) override;

    HRESULT STDMETHODCALLTYPE DrawGlyphRun(void*, FLOAT baselineOriginX, FLOAT baselineOriginY,
                                           DWRITE_MEASURING_MODE mode,
                                           const DWRITE_GLYPH_RUN* glyphRun,
                                           const DWRITE_GLYPH_RUN_DESCRIPTION*, IUnknown*) override;
    // A title line has no underline, strikethrough or inline object.
    HRESULT STDMETHODCALLTYPE DrawUnderline(void*, FLOAT, FLOAT, const DWRITE_UNDERLINE*,
                                            IUnknown*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrawStrikethrough(void*, FLOAT, FLOAT, const DWRITE_STRIKETHROUGH*,
                                                IUnknown*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrawInlineObject(void*, FLOAT, FLOAT, IDWriteInlineObject*, BOOL,
                                               BOOL, IUnknown*) override {
        return S_OK;
    }

  private:
    IDWriteBitmapRenderTarget* m_pTarget;  // not owned
    IDWriteRenderingParams* m_pParams;     // not owned
    COLORREF m_crColour;
    float m_fBaselineY;
};

}  // namespace cuewire
