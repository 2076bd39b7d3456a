#pragma once
// A stand-in for the NDI runtime that records every call and holds the
// runtime's side of the buffer contract: a frame handed over may be read until
// the next send, so any change to it before then fails the running test.
#include <cstdint>
#include <string>
#include <vector>

#include "video/NdiRuntime.h"

namespace cuewire::testing {

struct NdiCall {
    NdiCall(std::string name) : function(std::move(name)) {}  // NOLINT: implicit on purpose

    std::string function;
    const void* frameData = nullptr;  // send: the buffer handed over (null: flush)
    std::string senderName;           // create
    std::string metadata;             // add_connection_metadata
    int metadataLength = 0;
    int64_t metadataTimecode = 0;
    bool framesAllocated = false;  // what the observer reported at the call
};

class FakeNdiRuntime : public INdiRuntime {
  public:
    bool Initialize() override;
    void Destroy() override;
    const char* Version() override;
    NDIlib_send_instance_t SendCreate(const NDIlib_send_create_t& create) override;
    void SendDestroy(NDIlib_send_instance_t sender) override;
    void SendVideoAsync(NDIlib_send_instance_t sender,
                        const NDIlib_video_frame_v2_t* frame) override;
    void AddConnectionMetadata(NDIlib_send_instance_t sender,
                               const NDIlib_metadata_frame_t& metadata) override;

    std::vector<NdiCall> calls;
    bool lacksAFunction = false;  // as a runtime file missing an entry point: it cannot run
    bool initializeResult = true;
    bool createReturnsNull = false;
    int liveSenders = 0;
    int sendsWithFrame = 0;
    NDIlib_video_frame_v2_t lastSentFrame{};  // the descriptor as it was when sent
    // Reported at every call, so a test can see what was still allocated then.
    bool (*framesAllocatedProbe)(const void* context) = nullptr;
    const void* probeContext = nullptr;

    std::vector<std::string> FunctionNames() const;
    int Count(const std::string& function) const;
    // Checks the buffer handed over last against its copy taken at the send.
    void CheckLastSentBufferUntouched();

  private:
    void Record(NdiCall call);

    int m_senderToken = 0;  // its address is the one sender handed out
    const uint8_t* m_heldBuffer = nullptr;
    std::vector<uint8_t> m_heldCopy;
};

}  // namespace cuewire::testing
