#include "tests/fakes/FakeNdiRuntime.h"

#include <gtest/gtest.h>

#include <cstring>

namespace cuewire::testing {

bool FakeNdiRuntime::Initialize() {
    if (lacksAFunction) {
        return false;
    }
    Record({"initialize"});
    return initializeResult;
}

void FakeNdiRuntime::Destroy() {
    Record({"destroy"});
}

const char* FakeNdiRuntime::Version() {
    return "NDI SDK WIN64 00:00:00 Jan  1 2020 3.5.9.0";
}

NDIlib_send_instance_t FakeNdiRuntime::SendCreate(const NDIlib_send_create_t& create) {
    NdiCall call{"send_create"};
    call.senderName = create.p_ndi_name ? create.p_ndi_name : "";
    EXPECT_EQ(create.p_groups, nullptr);
    EXPECT_TRUE(create.clock_video);
    EXPECT_FALSE(create.clock_audio);
    Record(call);
    if (createReturnsNull) {
        return nullptr;
    }
    ++liveSenders;
    return &m_senderToken;
}

void FakeNdiRuntime::SendDestroy(NDIlib_send_instance_t sender) {
    EXPECT_EQ(sender, &m_senderToken);
    CheckLastSentBufferUntouched();
    Record({"send_destroy"});
    m_heldBuffer = nullptr;
    --liveSenders;
}

void FakeNdiRuntime::AddConnectionMetadata(NDIlib_send_instance_t sender,
                                           const NDIlib_metadata_frame_t& metadata) {
    EXPECT_EQ(sender, &m_senderToken);
    NdiCall call{"send_add_connection_metadata"};
    call.metadata = metadata.p_data ? metadata.p_data : "";
    call.metadataLength = metadata.length;
    call.metadataTimecode = metadata.timecode;
    Record(call);
}

void FakeNdiRuntime::Record(NdiCall call) {
    call.framesAllocated = framesAllocatedProbe && framesAllocatedProbe(probeContext);
    calls.push_back(std::move(call));
}

void FakeNdiRuntime::SendVideoAsync(NDIlib_send_instance_t sender,
                                    const NDIlib_video_frame_v2_t* frame) {
    EXPECT_EQ(sender, &m_senderToken);
    CheckLastSentBufferUntouched();
    NdiCall call{"send_video"};
    call.frameData = frame ? frame->p_data : nullptr;
    Record(call);
    if (!frame) {
        m_heldBuffer = nullptr;  // the flush: the runtime lets go of every buffer
        return;
    }
    ++sendsWithFrame;
    lastSentFrame = *frame;
    m_heldBuffer = frame->p_data;
    const size_t bytes = static_cast<size_t>(frame->line_stride_in_bytes) * frame->yres;
    m_heldCopy.assign(frame->p_data, frame->p_data + bytes);
}

void FakeNdiRuntime::CheckLastSentBufferUntouched() {
    if (m_heldBuffer && std::memcmp(m_heldBuffer, m_heldCopy.data(), m_heldCopy.size()) != 0) {
        ADD_FAILURE() << "a buffer the runtime may still be reading was written";
        m_heldBuffer = nullptr;
    }
}

std::vector<std::string> FakeNdiRuntime::FunctionNames() const {
    std::vector<std::string> names;
    for (const NdiCall& call : calls) {
        names.push_back(call.function == "send_video" && !call.frameData ? "send_video(null)"
                                                                         : call.function);
    }
    return names;
}

int FakeNdiRuntime::Count(const std::string& function) const {
    int count = 0;
    for (const NdiCall& call : calls) {
        count += call.function == function ? 1 : 0;
    }
    return count;
}

}  // namespace cuewire::testing
