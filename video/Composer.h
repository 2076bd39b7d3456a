#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "video/BitmapResources.h"
#include "video/DrawSurface.h"
#include "video/FrameBuffer.h"
#include "video/KnownContent.h"
#include "video/PixelBlockAllocator.h"
#include "video/TextBoxGeometry.h"
#include "video/TextCanvas.h"

namespace cuewire {

// The go-live composition's pixels and the five surfaces it works on: builds
// the start-up frame, the keyed text box or an empty frame into a frame
// buffer it is handed. Which of them a frame shows, when it goes out and who
// hears of it is the output's business. UI thread only.
class COutputComposer {
  public:
    // `surfaceBlocks` gives the five surfaces their buffers and outlives the composer.
    COutputComposer(ITextCanvas& canvas, IBitmapResources& pictures,
                    IPixelBlockAllocator& surfaceBlocks)
        : m_surfSplash(surfaceBlocks),
          m_surfBackground(surfaceBlocks),
          m_surfStartup(surfaceBlocks),
          m_surfProgramme(surfaceBlocks),
          m_surfText(surfaceBlocks),
          m_canvas(canvas),
          m_pictures(pictures) {}

    void LoadPictures(int32_t width, int32_t height);
    // Sizes the surfaces for a new output size.
    void ApplySize(int32_t width, int32_t height);
    // Takes the banner as it is now for the start-up frames to come.
    void PrepareStartupFrame();

    // Each fills `frame` (the output's size) with a whole frame. Drawing the
    // text may throw when memory runs out; the frame is then half-written.
    void ComposeStartupFrame(const FrameBuffer& frame);
    void ComposeTextFrame(const FrameBuffer& frame, std::u16string_view live);
    void ComposeEmptyFrame(const FrameBuffer& frame);

    // True when the surface can hand over a frame of this size.
    static bool HoldsFrame(const CDrawSurface& surface, int32_t width, int32_t height);

    const CDrawSurface& Splash() const { return m_surfSplash; }
    const CDrawSurface& Background() const { return m_surfBackground; }
    const CDrawSurface& StartupSurface() const { return m_surfStartup; }
    const CDrawSurface& Programme() const { return m_surfProgramme; }
    const CDrawSurface& TextBox() const { return m_surfText; }

  private:
    void ScaleBackground(int32_t width, int32_t height);
    void RebuildTextSurface(int32_t width, int32_t height);
    void ResetBackground(int32_t width, int32_t height);
    void ClearProgramme();
    void ResetProgrammeToBackground();
    std::u16string_view DrawableLine(std::u16string_view text);
    void PlaceTextBox(int32_t width, int32_t height, bool keyed);
    void WriteFrame(const FrameBuffer& frame);
    KnownContent& KnownFor(const uint32_t* pixels);
    bool ProgrammeIsFull(int32_t width, int32_t height) const;

    CDrawSurface m_surfSplash;
    CDrawSurface m_surfBackground;
    CDrawSurface m_surfStartup;
    CDrawSurface m_surfProgramme;
    CDrawSurface m_surfText;

    ITextCanvas& m_canvas;         // not owned
    IBitmapResources& m_pictures;  // not owned

    // Most of a frame is transparent black, and one composition differs from
    // the last only in and around the text box. Nothing but the composer
    // writes its surfaces and the frame buffers it is handed, so it can keep track of what
    // they hold and rewrite just the pixels that may have changed.
    bool m_bBackgroundClear = false;  // the background is all transparent black
    KnownContent m_programmeKnown;
    KnownContent m_frameKnown[2];   // the two frame buffers, told apart by their pixels
    int32_t m_nLastFrame = 0;       // the entry written last
    std::u16string m_strDrawnLine;  // the line as drawn; its buffer is reused
};

}  // namespace cuewire
