#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "win32/GdiOwners.h"

namespace cuewire::test {

// A drawn canvas: width x height words, top-down.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Canvas(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// Where the ink (non-zero pixels) lies and what kind of ink it is.
struct Ink {
    int left = -1, top = -1, right = -1, bottom = -1;  // inclusive; -1 when there is none
    long inked = 0;                                    // non-zero pixels
    long white = 0;                                    // exactly 0x00ffffff
    long grey = 0;                                     // neutral, between black and white
    long nonNeutral = 0;                               // channels differ, or the fourth byte is set

    bool Any() const { return inked > 0; }
};

// Ink in the columns [left, right) and rows [top, bottom); -1 means the far edge.
Ink MeasureInk(const Canvas& canvas, int left = 0, int right = -1, int top = 0, int bottom = -1);

// Snapshot of the GDI owners' counts, to compare before and after a run.
struct GdiSnapshot {
    GdiKindCounts kinds[static_cast<int>(GdiKind::kCount)];
    static GdiSnapshot Take();
};

// A hidden top-level window; counts the font-smoothing changes broadcast to it.
class HiddenWindow {
  public:
    HiddenWindow();
    ~HiddenWindow();
    HWND Get() const { return m_hWnd; }
    int SmoothingBroadcasts() const { return m_nSmoothingBroadcasts; }
    void ResetBroadcasts() { m_nSmoothingBroadcasts = 0; }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd = nullptr;
    int m_nSmoothingBroadcasts = 0;
};

void PumpMessages();

}  // namespace cuewire::test
