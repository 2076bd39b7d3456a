#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "video/BitmapResources.h"
#include "video/DrawSurface.h"
#include "video/NdiSender.h"
#include "video/PreviewFrame.h"
#include "video/TextCanvas.h"

namespace cuewire {

// Blocks the UI thread for a while; the output paces itself with it.
class IWait {
  public:
    virtual ~IWait() = default;
    virtual void Wait(int milliseconds) = 0;
};

// The text link as the composition sees it: a transfer of the text just drawn,
// or word that the output shows no text.
class ILinkBroadcast {
  public:
    virtual ~ILinkBroadcast() = default;
    virtual void SendText(std::u16string_view text) = 0;
    virtual void SendClear() = 0;
};

// Resource ids of the two pictures.
constexpr int kSplashPictureId = 137;
constexpr int kBackgroundPictureId = 141;

// Output geometry; every division truncates toward zero.
struct TextBoxGeometry {
    int32_t width, height, x, y, bottomMargin;
    static TextBoxGeometry For(int32_t frameWidth, int32_t frameHeight) {
        const int32_t w = frameWidth * 6 / 7;
        const int32_t h = frameHeight / 6;
        const int32_t margin = frameHeight / 15;
        return {w, h, (frameWidth - w) / 2, frameHeight - h - margin, margin};
    }
};

// A rectangle of pixels, right and bottom excluded; empty when either side is.
struct PixelRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    PixelRect Union(const PixelRect& other) const;
};

// What is known of a buffer's pixels without reading them: laid out as width x
// height, and transparent black everywhere outside `content`. Without pixels
// nothing is known.
struct KnownContent {
    const uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    PixelRect content;
    bool Describes(const uint32_t* buffer, int32_t w, int32_t h) const {
        return pixels && pixels == buffer && width == w && height == h;
    }
};

// What the panel hands each composition.
struct CompositionInput {
    int32_t width = 0;  // output frame size
    int32_t height = 0;
    std::u16string_view live;  // m_strLive
    bool linkDue = false;      // "Kyx Link" ticked and this is the first copy
};

// The go-live composition and the five surfaces it works on: builds the
// start-up frame, the keyed text box or an empty frame into the next frame
// buffer, sends it, and hands the programme picture to the preview.
class COutputComposer {
  public:
    static constexpr int kSettleMilliseconds = 500;
    static constexpr uint8_t kTextBoxAlpha = 175;

    // `surfaceBlocks` gives the five surfaces their buffers and outlives the composer.
    COutputComposer(CNdiSender& sender, ITextCanvas& canvas, IBitmapResources& pictures,
                    IWait& wait, ILinkBroadcast& link, IPreview& preview,
                    IFrameBufferAllocator& surfaceBlocks)
        : m_surfSplash(surfaceBlocks),
          m_surfBackground(surfaceBlocks),
          m_surfStartup(surfaceBlocks),
          m_surfProgramme(surfaceBlocks),
          m_surfText(surfaceBlocks),
          m_sender(sender),
          m_canvas(canvas),
          m_pictures(pictures),
          m_wait(wait),
          m_link(link),
          m_preview(preview) {}

    void ComposeAndSend(const CompositionInput& input);
    void ResetBackground(int32_t width, int32_t height);
    void RebuildTextSurface(int32_t width, int32_t height);
    void LoadPictures(int32_t width, int32_t height);
    void ArmStartupFrame();
    // Rescales the background's picture to a new output size, when it has one.
    void ScaleBackground(int32_t width, int32_t height);

    int32_t m_bTextPending = 0;
    int32_t m_bTextShown = 0;
    int32_t m_bStartupPending = 0;
    int32_t m_bComposing = 0;

    // Open for reading. Only the operations above write them, and the frame
    // buffers: they keep track of what each holds (see below).
    CDrawSurface m_surfSplash;
    CDrawSurface m_surfBackground;
    CDrawSurface m_surfStartup;
    CDrawSurface m_surfProgramme;
    CDrawSurface m_surfText;

  private:
    void ComposeStartupFrame(const CompositionInput& input);
    void ComposeTextFrame(const CompositionInput& input);
    void ClearProgramme();
    void ResetProgrammeToBackground();
    std::u16string_view DrawableLine(std::u16string_view text);
    void PlaceTextBox(const CompositionInput& input, bool keyed);
    void WriteFrame(int32_t frame, const CompositionInput& input);
    void HandProgrammeToPreview(const CompositionInput& input);
    bool ProgrammeIsFull(int32_t width, int32_t height) const;

    CNdiSender& m_sender;          // not owned
    ITextCanvas& m_canvas;         // not owned
    IBitmapResources& m_pictures;  // not owned
    IWait& m_wait;                 // not owned
    ILinkBroadcast& m_link;        // not owned
    IPreview& m_preview;           // not owned

    // Most of a frame is transparent black, and one composition differs from
    // the last only in and around the text box. Nothing but the composer
    // writes its surfaces and the frame buffers, so it can keep track of what
    // they hold and rewrite just the pixels that may have changed.
    bool m_bBackgroundClear = false;  // the background is all transparent black
    KnownContent m_programmeKnown;
    KnownContent m_frameKnown[2];
    std::u16string m_strDrawnLine;  // the line as drawn; its buffer is reused
};

}  // namespace cuewire
