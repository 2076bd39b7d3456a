#pragma once
// A stand-in for the NDI runtime that records every call and holds the
// runtime's side of the buffer contract: a frame handed over may be read until
// the next send, so any change to it before then fails the running test.
#include <cstdint>
#include <string>
#include <vector>

#include "video/NdiSdk.h"

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

class FakeNdiRuntime {
  public:
    FakeNdiRuntime();
    ~FakeNdiRuntime();

    const NdiFunctions& Functions() const { return m_functions; }
    NdiFunctions& MutableFunctions() { return m_functions; }

    std::vector<NdiCall> calls;
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
    friend struct FakeNdiEntryPoints;
    void Record(NdiCall call);
    void OnSend(const NDIlib_video_frame_v2_t* frame);

    NdiFunctions m_functions;
    const uint8_t* m_heldBuffer = nullptr;
    std::vector<uint8_t> m_heldCopy;
};

}  // namespace cuewire::testing
