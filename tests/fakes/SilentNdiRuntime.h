#pragma once
// A runtime that accepts every call and keeps nothing, for benchmarks that
// measure the composition alone.
#include "video/NdiRuntime.h"

namespace cuewire::testing {

class SilentNdiRuntime final : public INdiRuntime {
  public:
    bool Initialize() override { return true; }
    void Destroy() override {}
    const char* Version() override { return "silent"; }
    NDIlib_send_instance_t SendCreate(const NDIlib_send_create_t&) override { return &m_sender; }
    void SendDestroy(NDIlib_send_instance_t) override {}
    void SendVideoAsync(NDIlib_send_instance_t, const NDIlib_video_frame_v2_t*) override {}
    void AddConnectionMetadata(NDIlib_send_instance_t, const NDIlib_metadata_frame_t&) override {}

  private:
    int m_sender = 0;  // its address is the one sender handed out
};

}  // namespace cuewire::testing
