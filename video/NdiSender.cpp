#include "video/NdiSender.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "video/PixelFormat.h"

namespace cuewire {

// The product description every receiver gets on connecting: one element,
// fourteen spaces between attributes, no newline.
const char CNdiSender::kProductMetadata[] =
    "<ndi_product long_name=\"Bryvo Stillo - signal generator\""
    "              short_name=\"Bryvo Stillo\""
    "              manufacturer=\"Bryvo\""
    "              version=\"1.0.3\""
    "              session=\"default\""
    "              model_name=\"B1\""
    "              serial=\"00001\"/>";

void CNdiSender::FrameDeleter::operator()(NDIlib_video_frame_v2_t* frame) const {
    if (frame) {
        buffers->Free(reinterpret_cast<uint32_t*>(frame->p_data));
        delete frame;
    }
}

bool CNdiSender::InitialiseNdi() {
    if (!m_ndi.Initialize()) {
        return false;
    }
    m_bInitialised = true;
    return true;
}

bool CNdiSender::AllocateFrames() {
    for (FramePtr& frame : m_pFrames) {
        frame.reset(new (std::nothrow) NDIlib_video_frame_v2_t{});
        if (!frame) {
            return false;
        }
        // Words, so that the composition may address the pixels as 32-bit values.
        uint32_t* buffer = frame.get_deleter().buffers->Allocate(kFrameBufferBytes / 4);
        if (!buffer) {
            // A descriptor without pixels must not pass for an allocated frame.
            frame.reset();
            return false;
        }
        frame->p_data = reinterpret_cast<uint8_t*>(buffer);
    }
    return true;
}

void CNdiSender::CreateSender(int32_t instance) {
    if (!m_bInitialised) {
        return;
    }
    char name[kNameBytes];
    std::snprintf(name, sizeof name, "Bryvo Cuewire %d", instance + 1);
    const NDIlib_send_create_t create{name, nullptr, true, false};
    m_pSender = m_ndi.SendCreate(create);
    if (!m_pSender) {
        return;
    }
    // The runtime copies the element; the string itself is never written.
    NDIlib_metadata_frame_t metadata{};
    metadata.length = static_cast<int>(sizeof kProductMetadata - 1);
    metadata.timecode = NDIlib_send_timecode_synthesize;
    metadata.p_data = const_cast<char*>(kProductMetadata);
    m_ndi.AddConnectionMetadata(m_pSender, metadata);
}

void CNdiSender::DestroySender() {
    if (m_pSender) {
        m_ndi.SendDestroy(m_pSender);
    }
    m_pSender = nullptr;
}

void CNdiSender::FillFrameDescriptors(int32_t width, int32_t height, int32_t rateN, int32_t rateD,
                                      bool alpha) {
    for (FramePtr& frame : m_pFrames) {
        if (!frame) {
            continue;
        }
        frame->xres = width;
        frame->yres = height;
        frame->FourCC = alpha ? kFourCcBgra : kFourCcBgrx;
        frame->frame_rate_N = rateN;
        frame->frame_rate_D = rateD;
        frame->picture_aspect_ratio = kAspect16By9;
        frame->frame_format_type = NDIlib_frame_format_type_progressive;
        frame->timecode = NDIlib_send_timecode_synthesize;
        frame->line_stride_in_bytes = width * 4;
        frame->p_metadata = nullptr;
        frame->timestamp = 0;
    }
}

void CNdiSender::SendFrame(int32_t index) {
    if (m_pSender && Frame(index)) {
        m_ndi.SendVideoAsync(m_pSender, Frame(index));
    }
}

void CNdiSender::ShutdownNdi() {
    // The null frame returns once the runtime has let go of the last buffer.
    if (m_pSender) {
        m_ndi.SendVideoAsync(m_pSender, nullptr);
    }
    m_pFrames[0].reset();
    m_pFrames[1].reset();
    DestroySender();
    if (m_bInitialised) {
        m_ndi.Destroy();
        m_bInitialised = false;
    }
}

int32_t CNdiSender::SwitchToNextFrame() {
    m_nCurFrame = m_nCurFrame == 0 ? 1 : 0;
    return m_nCurFrame;
}

const NDIlib_video_frame_v2_t* CNdiSender::Frame(int32_t index) const {
    if (index < 0 || index > 1) {
        return nullptr;
    }
    return m_pFrames[index].get();
}

uint32_t* CNdiSender::FramePixels(int32_t index) {
    const NDIlib_video_frame_v2_t* frame = Frame(index);
    return frame ? reinterpret_cast<uint32_t*>(frame->p_data) : nullptr;
}

const char* CNdiSender::RuntimeVersion() const {
    return m_bInitialised ? m_ndi.Version() : nullptr;
}

}  // namespace cuewire
