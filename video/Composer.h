#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "geometry/Rect.h"
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

// Told what each announced composition shows, after it has settled and just
// before its frame goes out, so that others can follow the output.
class IOutputFollower {
  public:
    virtual ~IOutputFollower() = default;
    virtual void TextShown(std::u16string_view text) = 0;
    virtual void TextCleared() = 0;
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

// What is known of a buffer's pixels without reading them: laid out as width x
// height, and transparent black everywhere outside `content`. Without pixels
// nothing is known.
struct KnownContent {
    const uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    Rect content;
    bool Describes(const uint32_t* buffer, int32_t w, int32_t h) const {
        return pixels && pixels == buffer && width == w && height == h;
    }
};

// What the panel hands each composition.
struct CompositionInput {
    int32_t width = 0;  // output frame size
    int32_t height = 0;
    std::u16string_view live;  // the panel's live text
    bool announce = false;     // the follower hears what this composition shows
};

// The go-live composition and the five surfaces it works on: builds the
// start-up frame, the keyed text box or an empty frame into the next frame
// buffer, sends it, and hands the programme picture to the preview. What the
// next composition shows is its own state: the start-up frame while that is
// armed, else the text while one is queued, else no text.
class COutputComposer {
  public:
    static constexpr int kSettleMilliseconds = 500;

    // `surfaceBlocks` gives the five surfaces their buffers and outlives the composer.
    COutputComposer(CNdiSender& sender, ITextCanvas& canvas, IBitmapResources& pictures,
                    IWait& wait, IOutputFollower& follower, IPreview& preview,
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
          m_follower(follower),
          m_preview(preview) {}

    void LoadPictures(int32_t width, int32_t height);
    // Sizes the surfaces for a new output size; a text on the output is drawn
    // again at that size by the next composition.
    void ApplySize(int32_t width, int32_t height);
    void ComposeAndSend(const CompositionInput& input);

    // The next compositions show the start-up frame until EndStartup.
    void ArmStartupFrame();
    // True when the start-up frame was armed; it is not any more.
    bool EndStartup();
    // The next composition draws the live text (after the start-up frame, if armed).
    void QueueText() { m_bTextPending = 1; }
    void DropQueuedText() { m_bTextPending = 0; }

    bool TextShown() const { return m_bTextShown == 1; }
    bool TextQueued() const { return m_bTextPending == 1; }
    bool StartupArmed() const { return m_bStartupPending == 1; }
    // True from the switch to the next frame buffer until that buffer is sent.
    bool Composing() const { return m_bComposing == 1; }

    const CDrawSurface& Splash() const { return m_surfSplash; }
    const CDrawSurface& Background() const { return m_surfBackground; }
    const CDrawSurface& StartupSurface() const { return m_surfStartup; }
    const CDrawSurface& Programme() const { return m_surfProgramme; }
    const CDrawSurface& TextBox() const { return m_surfText; }

  private:
    class CUnsentFrameUndo;

    void ScaleBackground(int32_t width, int32_t height);
    void RebuildTextSurface(int32_t width, int32_t height);
    void ResetBackground(int32_t width, int32_t height);
    void ComposeStartupFrame(const CompositionInput& input);
    void ComposeTextFrame(const CompositionInput& input);
    void ClearProgramme();
    void ResetProgrammeToBackground();
    std::u16string_view DrawableLine(std::u16string_view text);
    void PlaceTextBox(const CompositionInput& input, bool keyed);
    void WriteFrame(int32_t frame, const CompositionInput& input);
    void TellFollower(const CompositionInput& input, bool startup);
    void HandProgrammeToPreview(const CompositionInput& input);
    bool ProgrammeIsFull(int32_t width, int32_t height) const;

    int32_t m_bTextPending = 0;
    int32_t m_bTextShown = 0;
    int32_t m_bStartupPending = 0;
    int32_t m_bComposing = 0;

    CDrawSurface m_surfSplash;
    CDrawSurface m_surfBackground;
    CDrawSurface m_surfStartup;
    CDrawSurface m_surfProgramme;
    CDrawSurface m_surfText;

    CNdiSender& m_sender;          // not owned
    ITextCanvas& m_canvas;         // not owned
    IBitmapResources& m_pictures;  // not owned
    IWait& m_wait;                 // not owned
    IOutputFollower& m_follower;   // not owned
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
