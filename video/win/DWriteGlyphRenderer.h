#pragma once
#include <windows.h>
#include <dwrite_2.h>

#include <cstdint>
#include <vector>

#include "video/win/DWriteGlyphCache.h"

namespace cuewire {

// Where a line's grey levels go: `width` x `height` pixels, one row after
// another, black where nothing is drawn.
struct GreyPixels {
    uint32_t* pixels = nullptr;  // not owned
    int width = 0;
    int height = 0;
};

// Draws a text layout's glyph runs in white, greyscale-antialiased, straight
// into the line's pixels, on one fixed baseline: a line mixing fonts keeps the
// title face's baseline whatever the taller fallback fonts would make of it.
// Glyphs come from the canvas's glyph cache, each rasterised once; a run the
// cache cannot serve is rasterised whole. Lives on the stack of one drawing;
// its reference count is not used. UI thread only.
class CDWriteGlyphRenderer final : public IDWriteTextRenderer {
  public:
    // `texture` is the canvas's coverage buffer, one byte for each of the
    // line's pixels, kept between drawings.
    CDWriteGlyphRenderer(IDWriteFactory2* factory, GreyPixels target, float baselineY,
                         CDWriteGlyphCache& glyphs, std::vector<BYTE>& texture)
        : m_pFactory(factory),
          m_target(target),
          m_fBaselineY(baselineY),
          m_glyphs(glyphs),
          m_texture(texture) {}

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
    UINT32 DrawCachedGlyphs(const DWRITE_GLYPH_RUN& run, DWRITE_MEASURING_MODE mode,
                            float& penX);
    HRESULT DrawWholeRun(const DWRITE_GLYPH_RUN& run, DWRITE_MEASURING_MODE mode, float originX);
    void AddCoverage(const RECT& area, const BYTE* coverage, int coverageColumns);

    IDWriteFactory2* m_pFactory;  // not owned
    GreyPixels m_target;
    float m_fBaselineY;
    CDWriteGlyphCache& m_glyphs;   // the canvas's; not owned
    std::vector<BYTE>& m_texture;  // the canvas's; not owned
};

}  // namespace cuewire
