#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "video/Composer.h"
#include "video/NdiSender.h"
#include "video/Preview.h"

namespace cuewire {

// A video mode as the output applies it.
struct OutputMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t rateN = 0;
    int32_t rateD = 0;
    bool alpha = true;
};

// What the panel has live when it asks the output for something.
struct LiveText {
    std::u16string_view text;
    bool announce = false;  // the follower hears what the composition shows
};

// What the output draws and sends with, as the program's start wires it.
struct OutputDevices {
    INdiRuntime& ndi;
    IFrameBufferAllocator& frameBuffers;
    ITextCanvas& canvas;
    IBitmapResources& pictures;
    IWait& wait;
    IPreviewWindow& preview;
    // The drawing surfaces' and the preview image's buffers; a refusal here
    // leaves a feature silent but, unlike a refused frame buffer, does not
    // stop the output.
    IFrameBufferAllocator& surfaceBlocks;
};

// The NDI output with the verbs the panel needs: start, apply a mode, show a
// text, clear, re-send, shut down. It owns the sender with its two frame
// buffers and the composition, so the order of the runtime's calls lives here
// and nowhere else. UI thread only.
class COutput {
  public:
    enum class StartResult { kStarted, kNoRuntime, kNoFrameBuffers };

    // `follower` hears what each announced composition shows.
    COutput(const OutputDevices& devices, IOutputFollower& follower);

    // The runtime and the two frame buffers; without either the output stays silent.
    StartResult Start();
    // The preview's buffer and the two pictures, sized for the first mode.
    void LoadPictures(const OutputMode& mode);

    // The compositions show the start-up frame until EndStartupPeriod.
    void ArmStartupFrame();
    // A text that waited for the start-up period goes out now.
    void EndStartupPeriod(const LiveText& live);

    // Composes the frame at the new size and sends it. With a number, the
    // output publishes under it: the first time by creating the sender before
    // composing, so that the start-up frame goes out through it; later by
    // taking the source off while the new frame is made and bringing it back
    // with that frame. Without a number nothing is published.
    void ApplyMode(const OutputMode& mode, const LiveText& live,
                   std::optional<int32_t> publishAs);
    // The live text goes out (at the end of the start-up period if that runs).
    void ShowText(const LiveText& live);
    // No text goes out, nor does one that waited for the start-up period.
    void Clear(const LiveText& live);
    // The last frame again, so that receivers that join see it; never a
    // buffer that a composition is filling.
    void Resend();
    // Lets the runtime go: every later call leaves the output silent.
    void ShutDown();

    bool TextShown() const { return m_composer.TextShown(); }
    const CNdiSender& Sender() const { return m_sender; }
    const COutputComposer& Composer() const { return m_composer; }
    // The frame written and sent last; null before the frame buffers exist.
    const NDIlib_video_frame_v2_t* CurrentFrame() const;

  private:
    void Compose(const LiveText& live);
    void Publish(int32_t instance, bool firstSender);

    CNdiSender m_sender;
    CPreview m_preview;
    COutputComposer m_composer;
    OutputMode m_mode;
    bool m_bSenderMade = false;  // a numbered mode has made the copy's sender
};

}  // namespace cuewire
