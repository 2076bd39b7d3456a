#pragma once
#include <windows.h>
#include <dwrite_3.h>

#include <memory>
#include <string>
#include <string_view>

#include "video/TextCanvas.h"
#include "win32/ComRef.h"
#include "video/win/DWriteTitleFace.h"

namespace cuewire {

// The text canvas on DirectWrite: a text layout in the title face with the
// system's font fallback for every script the face lacks, drawn with greyscale
// antialiasing into a bitmap render target. A line wider than the box shrinks
// to fit (FittedCellHeight); "&" and every other character is drawn as typed.
// The factory, the face and the render target are made on the first drawing
// and kept; the target is resized only when the box changes. Without
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

  private:
    bool Prepare();
    bool PrepareTarget(int width, int height);
    IDWriteTextFormat* FormatForCell(int cellHeight);
    void LayOutAndDraw(std::u16string_view text, int cellHeight, int width, int height);
    double LineWidthAboutCentre(IDWriteTextLayout* layout, int boxWidth) const;

    HINSTANCE m_hFontModule;   // not owned
    std::u16string m_strLine;  // the line with its hard breaks made spaces; keeps its capacity
    bool m_bPrepared = false;
    CComRef<IDWriteFactory> m_factory;
    std::unique_ptr<CDWriteTitleFace> m_titleFace;
    CComRef<IDWriteFontFallback> m_fallback;  // null where the system offers none
    CComRef<IDWriteRenderingParams> m_renderingParams;
    CComRef<IDWriteBitmapRenderTarget> m_target;
    int m_nTargetWidth = 0, m_nTargetHeight = 0;
    uint32_t* m_pTargetBits = nullptr;  // the target's own DIB section
    int m_nTargetStride = 0;            // in pixels
    CComRef<IDWriteTextFormat> m_format;
    int m_nFormatCell = 0;
    int m_nLastCell = 0;
};

}  // namespace cuewire
