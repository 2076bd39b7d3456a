#pragma once
// The output's ports for programs that drive the composition without a panel:
// no pacing, no link, a preview that converts but has no window, and a canvas
// wrapper that notes what the real canvas answered and how long it took.
#include <windows.h>

#include <string_view>

#include "video/Composer.h"
#include "video/PreviewFrame.h"
#include "video/TextCanvas.h"

namespace cuewire::test_programs {

inline LONGLONG Ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

inline double TicksToMilliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

// The panel's pacing, taken away so that a run measures the work alone.
class CNoWait final : public IWait {
  public:
    void Wait(int) override {}
};

class CNoLink final : public IOutputFollower {
  public:
    void TextShown(std::u16string_view) override {}
    void TextCleared() override {}
};

// The preview's conversion as the preview window does it; the window repaints
// later, outside the composition, so there is none here.
class CWindowlessPreview final : public IPreview {
  public:
    void Setup() override { m_frame.Setup(); }
    void SetFrame(const uint8_t* pixels, int32_t width, int32_t height, int32_t stride,
                  uint32_t fourCc, float aspect) override {
        m_frame.SetFrame(pixels, width, height, stride, fourCc, aspect);
    }
    void Refresh() override {}

  private:
    CHeapFrameBufferAllocator m_blocks;
    CPreviewFrame m_frame{m_blocks};
};

// A drawing without a canvas leaves the box as it was, so the picture alone
// would not show it: the answers are counted, and the time in the canvas adds
// up so that the GDI share of a frame shows.
class CWatchedCanvas final : public ITextCanvas {
  public:
    explicit CWatchedCanvas(ITextCanvas& canvas) : m_canvas(canvas) {}

    CanvasResult DrawLine(std::u16string_view text, int cellHeight, int width, int height,
                          uint32_t* pixels) override {
        const LONGLONG start = Ticks();
        const CanvasResult result = m_canvas.DrawLine(text, cellHeight, width, height, pixels);
        m_nTicks += Ticks() - start;
        ++m_nDrawings;
        m_nMissed += result == CanvasResult::kNoCanvas ? 1 : 0;
        m_nIncomplete += result == CanvasResult::kIncomplete ? 1 : 0;
        return result;
    }

    // The time spent in the canvas since the last call.
    LONGLONG TakeTicks() {
        const LONGLONG ticks = m_nTicks;
        m_nTicks = 0;
        return ticks;
    }

    long m_nDrawings = 0;
    long m_nMissed = 0;
    long m_nIncomplete = 0;
    LONGLONG m_nTicks = 0;

  private:
    ITextCanvas& m_canvas;  // not owned
};

}  // namespace cuewire::test_programs
