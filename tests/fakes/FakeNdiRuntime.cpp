#include "tests/fakes/FakeNdiRuntime.h"

#include <gtest/gtest.h>

#include <cstring>

namespace cuewire::testing {

namespace {
// The runtime's entry points are plain functions, so they find the fake
// through this pointer; one fake exists at a time in a test.
FakeNdiRuntime* g_current = nullptr;
int g_senderToken = 0;
}  // namespace

struct FakeNdiEntryPoints {
    static bool Initialize() {
        g_current->Record({"initialize"});
        return g_current->initializeResult;
    }
    static void Destroy() { g_current->Record({"destroy"}); }
    static const char* Version() { return "NDI SDK WIN64 00:00:00 Jan  1 2020 3.5.9.0"; }
    static NDIlib_send_instance_t SendCreate(const NDIlib_send_create_t* create) {
        NdiCall call{"send_create"};
        call.senderName = create->p_ndi_name ? create->p_ndi_name : "";
        EXPECT_EQ(create->p_groups, nullptr);
        EXPECT_TRUE(create->clock_video);
        EXPECT_FALSE(create->clock_audio);
        g_current->Record(call);
        if (g_current->createReturnsNull) {
            return nullptr;
        }
        ++g_current->liveSenders;
        return &g_senderToken;
    }
    static void SendDestroy(NDIlib_send_instance_t sender) {
        EXPECT_EQ(sender, &g_senderToken);
        g_current->CheckLastSentBufferUntouched();
        g_current->Record({"send_destroy"});
        g_current->m_heldBuffer = nullptr;
        --g_current->liveSenders;
    }
    static void SendVideo(NDIlib_send_instance_t sender, const NDIlib_video_frame_v2_t* frame) {
        EXPECT_EQ(sender, &g_senderToken);
        g_current->OnSend(frame);
    }
    static void AddMetadata(NDIlib_send_instance_t sender,
                            const NDIlib_metadata_frame_t* metadata) {
        EXPECT_EQ(sender, &g_senderToken);
        NdiCall call{"send_add_connection_metadata"};
        call.metadata = metadata->p_data ? metadata->p_data : "";
        call.metadataLength = metadata->length;
        call.metadataTimecode = metadata->timecode;
        g_current->Record(call);
    }
};

FakeNdiRuntime::FakeNdiRuntime() {
    g_current = this;
    m_functions.initialize = &FakeNdiEntryPoints::Initialize;
    m_functions.destroy = &FakeNdiEntryPoints::Destroy;
    m_functions.version = &FakeNdiEntryPoints::Version;
    m_functions.send_create = &FakeNdiEntryPoints::SendCreate;
    m_functions.send_destroy = &FakeNdiEntryPoints::SendDestroy;
    m_functions.send_send_video_async_v2 = &FakeNdiEntryPoints::SendVideo;
    m_functions.send_add_connection_metadata = &FakeNdiEntryPoints::AddMetadata;
}

FakeNdiRuntime::~FakeNdiRuntime() {
    g_current = nullptr;
}

void FakeNdiRuntime::Record(NdiCall call) {
    call.framesAllocated = framesAllocatedProbe && framesAllocatedProbe(probeContext);
    calls.push_back(std::move(call));
}

void FakeNdiRuntime::OnSend(const NDIlib_video_frame_v2_t* frame) {
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
