#pragma once
#include <cstdint>
#include <memory>

#include "video/NdiRuntime.h"
#include "video/PixelBlockAllocator.h"

namespace cuewire {

// The output's NDI side: two frame descriptors with their buffers, written
// alternately, and the sender. The runtime reads the buffer handed over last
// until the next send on the sender, so only the other buffer is ever written.
// UI thread only.
class CNdiSender {
  public:
    static constexpr int kNameBytes = 32;
    static const char kProductMetadata[];

    CNdiSender(INdiRuntime& ndi, IPixelBlockAllocator& buffers)
        : m_ndi(ndi),
          m_pFrames{FramePtr(nullptr, FrameDeleter{&buffers}),
                    FramePtr(nullptr, FrameDeleter{&buffers})} {}
    CNdiSender(const CNdiSender&) = delete;
    CNdiSender& operator=(const CNdiSender&) = delete;
    ~CNdiSender() { ShutdownNdi(); }

    bool InitialiseNdi();
    bool AllocateFrames();
    void CreateSender(int32_t instance);  // instance is 0-based
    void DestroySender();
    void FillFrameDescriptors(int32_t width, int32_t height, int32_t rateN, int32_t rateD,
                              bool alpha);
    void SendFrame(int32_t index);
    void ShutdownNdi();

    // Switches to the buffer not handed over last and returns its index.
    int32_t SwitchToNextFrame();
    // The frame written and sent last.
    int32_t CurrentFrame() const { return m_nCurFrame; }

    bool HasSender() const { return m_pSender != nullptr; }
    bool FramesAllocated() const { return m_pFrames[0] && m_pFrames[1]; }
    const NDIlib_video_frame_v2_t* Frame(int32_t index) const;
    uint32_t* FramePixels(int32_t index);
    const char* RuntimeVersion() const;

  private:
    // A descriptor takes its buffer with it, back to where the buffer came from.
    struct FrameDeleter {
        IPixelBlockAllocator* buffers;  // not owned
        void operator()(NDIlib_video_frame_v2_t* frame) const;
    };
    using FramePtr = std::unique_ptr<NDIlib_video_frame_v2_t, FrameDeleter>;

    INdiRuntime& m_ndi;     // not owned
    FramePtr m_pFrames[2];  // buffers from the allocator, which outlives this
    NDIlib_send_instance_t m_pSender = nullptr;
    bool m_bInitialised = false;
    int32_t m_nCurFrame = 0;
};

}  // namespace cuewire
