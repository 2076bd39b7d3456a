#pragma once
// The NDI runtime as the test programs hand it to the output: every call goes
// through to the real runtime, and the wrapper notes the sender the output
// holds (which the output keeps to itself) and counts what was asked of it.
// While the sender is kept, the output's taking it off and bringing it back
// at a mode change only flushes it: the runtime sees one sender throughout.
#include <windows.h>

#include "tests/win/common/HeadlessOutput.h"
#include "video/NdiRuntime.h"

namespace cuewire::test_programs {

struct NdiCounts {
    long created = 0;
    long createFailed = 0;
    long destroyed = 0;
    long framesSent = 0;
    LONGLONG sendTicks = 0;  // time spent handing frames over
};

class CWatchedRuntime final : public INdiRuntime {
  public:
    explicit CWatchedRuntime(INdiRuntime& runtime) : m_runtime(runtime) {}

    bool Initialize() override { return m_runtime.Initialize(); }
    void Destroy() override { m_runtime.Destroy(); }
    const char* Version() override { return m_runtime.Version(); }
    NDIlib_send_instance_t SendCreate(const NDIlib_send_create_t& create) override {
        if (m_bKeepSender && m_sender) {
            m_bHandingKept = true;
            return m_sender;
        }
        m_sender = m_runtime.SendCreate(create);
        ++(m_sender ? m_counts.created : m_counts.createFailed);
        return m_sender;
    }
    void SendDestroy(NDIlib_send_instance_t sender) override {
        if (m_bKeepSender && sender == m_sender) {
            Flush();
            return;
        }
        m_runtime.SendDestroy(sender);
        ++m_counts.destroyed;
        if (sender == m_sender) {
            m_sender = nullptr;
        }
    }
    void SendVideoAsync(NDIlib_send_instance_t sender,
                        const NDIlib_video_frame_v2_t* frame) override {
        const LONGLONG start = Ticks();
        m_runtime.SendVideoAsync(sender, frame);
        m_counts.sendTicks += Ticks() - start;
        m_counts.framesSent += frame ? 1 : 0;
    }
    void AddConnectionMetadata(NDIlib_send_instance_t sender,
                               const NDIlib_metadata_frame_t& metadata) override {
        // The kept sender has its product description already.
        if (m_bHandingKept) {
            m_bHandingKept = false;
            return;
        }
        m_runtime.AddConnectionMetadata(sender, metadata);
    }

    // Under Wine 8.0 a sender destroyed soon after its creation can leave a
    // runtime thread behind (about 1 MB resident each), which would hide what
    // the compositions themselves do to memory.
    void KeepSender(bool keep) { m_bKeepSender = keep; }

    // Returns once the runtime has let go of the frame handed over last, so
    // that its descriptor may be rewritten while the sender stays.
    void Flush() {
        if (m_sender) {
            m_runtime.SendVideoAsync(m_sender, nullptr);
        }
    }

    // The output's sender, null while it has none.
    NDIlib_send_instance_t CurrentSender() const { return m_sender; }
    const NdiCounts& Counts() const { return m_counts; }

  private:
    INdiRuntime& m_runtime;  // not owned
    NDIlib_send_instance_t m_sender = nullptr;
    bool m_bKeepSender = false;
    bool m_bHandingKept = false;  // SendCreate handed out the kept sender again
    NdiCounts m_counts;
};

}  // namespace cuewire::test_programs
