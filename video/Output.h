#pragma once
#include <cstdint>
#include <optional>

#include "video/Composer.h"
#include "video/NdiSender.h"
#include "video/OutputFollower.h"
#include "video/OutputPort.h"
#include "video/Preview.h"
#include "video/Wait.h"

namespace cuewire {

// What the output draws and sends with, as the program's start wires it.
struct OutputDevices {
    INdiRuntime& ndi;
    IPixelBlockAllocator& frameBuffers;
    ITextCanvas& canvas;
    IBitmapResources& pictures;
    IWait& wait;
    IPreviewWindow& preview;
    // The drawing surfaces' and the preview image's buffers; a refusal here
    // leaves a feature silent but, unlike a refused frame buffer, does not
    // stop the output.
    IPixelBlockAllocator& surfaceBlocks;
};

// The NDI output. It owns the sender with its two frame buffers, the
// composer and what is on air, so the order of the runtime's calls and the
// answer to "what does the output show" live here and nowhere else.
// UI thread only.
class COutput final : public IOutput {
  public:
    static constexpr int kSettleMilliseconds = 500;

    // `follower` hears what each announced composition shows.
    COutput(const OutputDevices& devices, IOutputFollower& follower);

    OutputStart Start() override;
    void LoadPictures(const OutputMode& mode) override;
    void ArmStartupFrame() override;
    void EndStartupPeriod(const LiveText& live) override;
    void ApplyMode(const OutputMode& mode, const LiveText& live,
                   std::optional<int32_t> publishAs) override;
    void ShowText(const LiveText& live) override;
    void Clear(const LiveText& live) override;
    void Resend() override;
    void ShutDown() override;
    bool TextShown() const override { return m_bTextShown; }
    const char* RuntimeVersion() const override { return m_sender.RuntimeVersion(); }

    // The next composition draws the live text.
    bool TextQueued() const { return m_bTextQueued; }
    bool StartupArmed() const { return m_bStartupArmed; }
    // True from the switch to the next frame buffer until that buffer is sent.
    bool Composing() const { return m_bComposing; }
    const OutputMode& Mode() const { return m_mode; }
    const CNdiSender& Sender() const { return m_sender; }
    const COutputComposer& Composer() const { return m_composer; }
    // The frame written and sent last; null before the frame buffers exist.
    const NDIlib_video_frame_v2_t* CurrentFrame() const;
    const uint32_t* CurrentPixels() const;

  private:
    class CUnsentFrameUndo;

    // Fills the buffer not handed over last with what is on air now, lets it
    // settle, tells the follower and sends it.
    void ComposeAndSend(const LiveText& live);
    void TellFollower(const LiveText& live, bool startup);
    void HandProgrammeToPreview();
    void Publish(int32_t instance, bool firstSender);

    CNdiSender m_sender;
    CPreview m_preview;
    COutputComposer m_composer;
    IWait& m_wait;                // not owned
    IOutputFollower& m_follower;  // not owned
    OutputMode m_mode;

    // What is on air.
    bool m_bTextShown = false;     // the frame sent last carries the text
    bool m_bTextQueued = false;    // the next composition draws the text
    bool m_bStartupArmed = false;  // the compositions show the start-up frame
    bool m_bComposing = false;     // a buffer is being filled and is not sent yet
    bool m_bSenderMade = false;    // a numbered mode has made the copy's sender
};

}  // namespace cuewire
