#pragma once
// What programs that drive the output without a panel measure it with: the
// performance counter, and a canvas wrapper that notes what the real canvas
// answered and how long it took. The output itself is assembled by
// tests/fakes/OutputRig.h.
#include <windows.h>

#include <string_view>

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
