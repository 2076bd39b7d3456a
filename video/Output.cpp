#include "video/Output.h"

namespace cuewire {

COutput::COutput(const OutputDevices& devices, IOutputFollower& follower)
    : m_sender(devices.ndi, devices.frameBuffers),
      m_preview(devices.preview, devices.surfaceBlocks),
      m_composer(devices.canvas, devices.pictures, devices.surfaceBlocks),
      m_wait(devices.wait),
      m_follower(follower) {
}

OutputStart COutput::Start() {
    if (!m_sender.InitialiseNdi()) {
        return OutputStart::kNoRuntime;
    }
    if (!m_sender.AllocateFrames()) {
        return OutputStart::kNoFrameBuffers;
    }
    return OutputStart::kStarted;
}

void COutput::LoadPictures(const OutputMode& mode) {
    m_mode = mode;
    m_preview.Setup();
    m_composer.LoadPictures(mode.width, mode.height);
    const CDrawSurface& background = m_composer.Background();
    if (COutputComposer::HoldsFrame(background, mode.width, mode.height)) {
        m_preview.SetFrame(reinterpret_cast<const uint8_t*>(background.Pixels()), mode.width,
                           mode.height, mode.width * 4);
        m_preview.Refresh();
    }
}

void COutput::ArmStartupFrame() {
    m_composer.PrepareStartupFrame();
    m_bStartupArmed = true;
}

void COutput::EndStartupPeriod(const LiveText& live) {
    if (m_bStartupArmed) {
        m_bStartupArmed = false;
        ComposeAndSend(live);
    }
}

void COutput::ApplyMode(const OutputMode& mode, const LiveText& live,
                        std::optional<int32_t> publishAs) {
    m_mode = mode;
    const bool firstSender = publishAs && !m_bSenderMade;
    if (firstSender) {
        m_sender.CreateSender(*publishAs);
        m_bSenderMade = true;
    } else {
        m_sender.DestroySender();
    }
    m_sender.FillFrameDescriptors(mode.width, mode.height, mode.rateN, mode.rateD, mode.alpha);
    m_composer.ApplySize(mode.width, mode.height);
    // A text on the output is drawn again at the new size.
    if (m_bTextShown) {
        m_bTextQueued = true;
    }
    ComposeAndSend(live);
    if (publishAs) {
        Publish(*publishAs, firstSender);
    }
}

// The first sender had the frame from the composition; a re-created one gets
// it now. Either way the preview is handed the frame as it went out.
void COutput::Publish(int32_t instance, bool firstSender) {
    if (!firstSender) {
        m_sender.CreateSender(instance);
    }
    if (!m_sender.HasSender()) {
        return;
    }
    if (!firstSender) {
        m_sender.SendFrame(m_sender.CurrentFrame());
    }
    const NDIlib_video_frame_v2_t* frame = CurrentFrame();
    m_preview.SetFrame(frame->p_data, frame->xres, frame->yres, frame->line_stride_in_bytes);
}

void COutput::ShowText(const LiveText& live) {
    m_bTextQueued = true;
    ComposeAndSend(live);
}

void COutput::Clear(const LiveText& live) {
    m_bTextQueued = false;
    ComposeAndSend(live);
}

void COutput::Resend() {
    if (m_bComposing) {
        return;
    }
    m_sender.SendFrame(m_sender.CurrentFrame());
}

void COutput::ShutDown() {
    m_sender.ShutdownNdi();
}

const NDIlib_video_frame_v2_t* COutput::CurrentFrame() const {
    return m_sender.Frame(m_sender.CurrentFrame());
}

const uint32_t* COutput::CurrentPixels() const {
    const NDIlib_video_frame_v2_t* frame = CurrentFrame();
    return frame ? reinterpret_cast<const uint32_t*>(frame->p_data) : nullptr;
}

// A step that throws (a text too long for the memory left) must not leave the
// half-written buffer as the one the re-send hands over, nor the re-send shut
// out: until the new frame is sent, the output stays as it was.
class COutput::CUnsentFrameUndo {
  public:
    explicit CUnsentFrameUndo(COutput& output)
        : m_output(output), m_bTextShownBefore(output.m_bTextShown) {}
    ~CUnsentFrameUndo() {
        if (!m_bSent) {
            m_output.m_sender.SwitchToNextFrame();
            m_output.m_bTextShown = m_bTextShownBefore;
        }
        m_output.m_bComposing = false;
    }
    CUnsentFrameUndo(const CUnsentFrameUndo&) = delete;
    CUnsentFrameUndo& operator=(const CUnsentFrameUndo&) = delete;
    void Sent() { m_bSent = true; }

  private:
    COutput& m_output;
    bool m_bTextShownBefore;
    bool m_bSent = false;
};

void COutput::ComposeAndSend(const LiveText& live) {
    m_bComposing = true;
    CUnsentFrameUndo undo(*this);
    // Never write the buffer the runtime may still be reading: take the other one.
    const int32_t index = m_sender.SwitchToNextFrame();
    const FrameBuffer frame{m_sender.FramePixels(index), m_mode.width, m_mode.height};
    m_bTextShown = false;

    // What the next composition shows: the start-up frame while that is
    // armed, else the text while one is queued, else no text.
    const bool startup = m_bStartupArmed;
    if (startup) {
        m_wait.Wait(kSettleMilliseconds);
        m_wait.Wait(kSettleMilliseconds);
        m_composer.ComposeStartupFrame(frame);
    } else if (m_bTextQueued) {
        m_composer.ComposeTextFrame(frame, live.text);
        m_bTextQueued = false;
        m_bTextShown = true;
    } else {
        m_composer.ComposeEmptyFrame(frame);
    }

    m_wait.Wait(kSettleMilliseconds);
    TellFollower(live, startup);
    m_sender.SendFrame(index);
    undo.Sent();
    HandProgrammeToPreview();
}

void COutput::TellFollower(const LiveText& live, bool startup) {
    // The start-up frame draws no text, so it tells the follower nothing.
    if (!live.announce || startup) {
        return;
    }
    if (m_bTextShown) {
        m_follower.TextShown(live.text);
    } else {
        m_follower.TextCleared();
    }
}

void COutput::HandProgrammeToPreview() {
    const CDrawSurface& programme = m_composer.Programme();
    if (!COutputComposer::HoldsFrame(programme, m_mode.width, m_mode.height)) {
        return;
    }
    m_preview.SetFrame(reinterpret_cast<const uint8_t*>(programme.Pixels()), m_mode.width,
                       m_mode.height, m_mode.width * 4);
    m_preview.Refresh();
}

}  // namespace cuewire
