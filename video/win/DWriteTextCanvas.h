#pragma once
#include <windows.h>
#include <dwrite_3.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "video/TextCanvas.h"
#include "win32/ComRef.h"
#include "video/win/DWriteGlyphRenderer.h"
#include "video/win/DWriteTitleFace.h"

namespace cuewire {

// The text canvas on DirectWrite: a text layout in the title face with the
// system's font fallback for every script the face lacks, drawn with greyscale
// antialiasing straight into the line's pixels. A line wider than the box shrinks
// to fit (FittedCellHeight); "&" and every other character is drawn as typed.
// The factory, the face and the fallback are made on the first drawing and
// kept; the coverage buffer is sized again only when the box changes. Without
// DirectWrite nothing is drawn and the box stays as it was. UI thread only.
class CDWriteTextCanvas final : public ITextCanvas {
  public:
    // `fontModule` holds the bundled face (not owned).
    explicit CDWriteTextCanvas(HINSTANCE fontModule);
    ~CDWriteTextCanvas() override;
    CDWriteTextCanvas(const CDWriteTextCanvas&) = delete;
    CDWriteTextCanvas& operator=(const CDWriteTextCanvas&) = delete;

    CanvasResult DrawLine(std::u16string_view text, int cellHeight, int width, int height,
                          uint32_t* pixels) override;

    // The family the title face came from; empty before the first drawing or without one.
    std::wstring TitleFamily() const;
    // The cell height the last line was drawn at, after shrinking to fit.
    int LastCellHeight() const { return m_nLastCell; }
    // Glyphs rasterised since the canvas was made; the rest came from its cache.
    long GlyphsRasterised() const { return m_glyphs.Rasterised(); }
    // Drops the kept glyphs: the next line costs what a line of letters never
    // drawn before does, which the benchmarks measure too.
    void ForgetGlyphs() { m_glyphs.Clear(); }

  private:
    bool Prepare();
    bool PrepareCoverage(int width, int height);
    IDWriteTextFormat* FormatForCell(int cellHeight);
    void LayOutAndDraw(std::u16string_view text, int cellHeight, GreyPixels line);
    double LineWidthAboutCentre(IDWriteTextLayout* layout, int boxWidth) const;

    HINSTANCE m_hFontModule;   // not owned
    std::u16string m_strLine;  // the line with its hard breaks made spaces; keeps its capacity
    bool m_bPrepared = false;
    CComRef<IDWriteFactory> m_factory;
    std::unique_ptr<CDWriteTitleFace> m_titleFace;
    CComRef<IDWriteFontFallback> m_fallback;  // null where the system offers none
    CComRef<IDWriteFactory2> m_factory2;
    CDWriteGlyphCache m_glyphs;
    std::vector<BYTE> m_coverage;  // a whole run's coverage; sized for the box
    CComRef<IDWriteTextFormat> m_format;
    int m_nFormatCell = 0;
    int m_nLastCell = 0;
};

}  // namespace cuewire
