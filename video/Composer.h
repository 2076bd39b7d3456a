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

    COutputComposer(CNdiSender& sender, ITextCanvas& canvas, IBitmapResources& pictures,
                    IWait& wait, ILinkBroadcast& link, IPreview& preview)
        : m_sender(sender),
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

    CDrawSurface m_surfSplash;
    CDrawSurface m_surfBackground;
    CDrawSurface m_surfStartup;
    CDrawSurface m_surfProgramme;
    CDrawSurface m_surfText;

  private:
    void ComposeStartupFrame(const CompositionInput& input);
    void ComposeTextFrame(const CompositionInput& input);
    void DrawKeyedTextBox(std::u16string_view text);
    void HandProgrammeToPreview(const CompositionInput& input);

    CNdiSender& m_sender;           // not owned
    ITextCanvas& m_canvas;          // not owned
    IBitmapResources& m_pictures;   // not owned
    IWait& m_wait;                  // not owned
    ILinkBroadcast& m_link;         // not owned
    IPreview& m_preview;            // not owned
    std::u16string m_strDrawnLine;  // the line as drawn; its buffer is reused
};

}  // namespace cuewire
