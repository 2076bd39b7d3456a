#include "video/Output.h"

namespace cuewire {

COutput::COutput(const OutputDevices& devices, IOutputFollower& follower)
    : m_sender(devices.ndi, devices.frameBuffers),
      m_preview(devices.preview, devices.surfaceBlocks),
      m_composer(m_sender, devices.canvas, devices.pictures, devices.wait, follower, m_preview,
                 devices.surfaceBlocks) {}

COutput::StartResult COutput::Start() {
    if (!m_sender.InitialiseNdi()) {
        return StartResult::kNoRuntime;
    }
    if (!m_sender.AllocateFrames()) {
        return StartResult::kNoFrameBuffers;
    }
    return StartResult::kStarted;
}

void COutput::LoadPictures(const OutputMode& mode) {
    m_mode = mode;
    m_preview.Setup();
    m_composer.LoadPictures(mode.width, mode.height);
}

void COutput::ArmStartupFrame() {
    m_composer.ArmStartupFrame();
}

void COutput::EndStartupPeriod(const LiveText& live) {
    if (m_composer.EndStartup()) {
        Compose(live);
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
    Compose(live);
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
    m_preview.SetFrame(frame->p_data, frame->xres, frame->yres, frame->line_stride_in_bytes,
                       frame->FourCC, frame->picture_aspect_ratio);
}

void COutput::ShowText(const LiveText& live) {
    m_composer.QueueText();
    Compose(live);
}

void COutput::Clear(const LiveText& live) {
    m_composer.DropQueuedText();
    Compose(live);
}

void COutput::Resend() {
    if (m_composer.Composing()) {
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

void COutput::Compose(const LiveText& live) {
    m_composer.ComposeAndSend({m_mode.width, m_mode.height, live.text, live.announce});
}

}  // namespace cuewire
