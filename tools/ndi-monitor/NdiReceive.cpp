#include "tools/ndi-monitor/NdiReceive.h"

namespace cuewire {

namespace {

// FARPROC to the table's exact type, through the generic function type that
// compilers accept for such casts.
template <typename Function>
void Resolve(HMODULE module, const char* name, Function& out) {
    out = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

bool NdiReceiveFunctions::Resolve(HMODULE runtime) {
    if (!runtime) {
        return false;
    }
    cuewire::Resolve(runtime, "NDIlib_recv_create_v3", recv_create_v3);
    cuewire::Resolve(runtime, "NDIlib_recv_capture_v2", recv_capture_v2);
    cuewire::Resolve(runtime, "NDIlib_recv_free_video_v2", recv_free_video_v2);
    cuewire::Resolve(runtime, "NDIlib_recv_free_metadata", recv_free_metadata);
    cuewire::Resolve(runtime, "NDIlib_recv_destroy", recv_destroy);
    return recv_create_v3 && recv_capture_v2 && recv_free_video_v2 && recv_free_metadata &&
           recv_destroy;
}

}  // namespace cuewire
