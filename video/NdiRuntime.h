#pragma once
#include "video/NdiSdk.h"

namespace cuewire {

// The NDI runtime as the sender uses it: the seven calls it makes, nothing
// more. The loader adapts the real runtime's function table; tests give a
// stand-in of their own. UI thread only.
class INdiRuntime {
  public:
    virtual ~INdiRuntime() = default;

    // False when the runtime cannot run: a function is missing or it will not start.
    virtual bool Initialize() = 0;
    virtual void Destroy() = 0;
    // The runtime's own description of its version; null when it gives none.
    virtual const char* Version() = 0;
    virtual NDIlib_send_instance_t SendCreate(const NDIlib_send_create_t& create) = 0;
    virtual void SendDestroy(NDIlib_send_instance_t sender) = 0;
    // A null frame returns once the runtime has let go of every buffer.
    virtual void SendVideoAsync(NDIlib_send_instance_t sender,
                                const NDIlib_video_frame_v2_t* frame) = 0;
    virtual void AddConnectionMetadata(NDIlib_send_instance_t sender,
                                       const NDIlib_metadata_frame_t& metadata) = 0;
};

// A table of the runtime's functions as an INdiRuntime. A table with any null
// entry is a runtime that cannot run: Initialize fails and nothing else is called.
class CNdiFunctionTable final : public INdiRuntime {
  public:
    explicit CNdiFunctionTable(const NdiFunctions& functions) : m_functions(functions) {}

    bool Initialize() override { return m_functions.Complete() && m_functions.initialize(); }
    void Destroy() override { m_functions.destroy(); }
    const char* Version() override { return m_functions.version ? m_functions.version() : nullptr; }
    NDIlib_send_instance_t SendCreate(const NDIlib_send_create_t& create) override {
        return m_functions.send_create(&create);
    }
    void SendDestroy(NDIlib_send_instance_t sender) override { m_functions.send_destroy(sender); }
    void SendVideoAsync(NDIlib_send_instance_t sender,
                        const NDIlib_video_frame_v2_t* frame) override {
        m_functions.send_send_video_async_v2(sender, frame);
    }
    void AddConnectionMetadata(NDIlib_send_instance_t sender,
                               const NDIlib_metadata_frame_t& metadata) override {
        m_functions.send_add_connection_metadata(sender, &metadata);
    }

  private:
    const NdiFunctions& m_functions;  // not owned: the loader's, which outlives this
};

}  // namespace cuewire
