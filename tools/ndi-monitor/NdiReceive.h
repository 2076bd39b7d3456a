#pragma once
// The NDI receive records and functions this monitor uses, declared from the
// SDK's public documentation. The records must match the SDK's x64 layout:
// the runtime reads and writes them as it defines them.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "video/NdiSdk.h"

extern "C" {

using NDIlib_recv_instance_t = void*;

struct NDIlib_source_t {
    const char* p_ndi_name;
    const char* p_url_address;  // "127.0.0.1:5961": connect straight to that address
};

enum NDIlib_recv_color_format_e : int32_t {
    NDIlib_recv_color_format_BGRX_BGRA = 0,  // BGRX without alpha, BGRA with it
};

enum NDIlib_recv_bandwidth_e : int32_t {
    NDIlib_recv_bandwidth_highest = 100,
};

struct NDIlib_recv_create_v3_t {
    NDIlib_source_t source_to_connect_to;
    NDIlib_recv_color_format_e color_format;
    NDIlib_recv_bandwidth_e bandwidth;
    bool allow_video_fields;
    const char* p_ndi_recv_name;
};

enum NDIlib_frame_type_e : int32_t {
    NDIlib_frame_type_none = 0,
    NDIlib_frame_type_video = 1,
    NDIlib_frame_type_audio = 2,
    NDIlib_frame_type_metadata = 3,
    NDIlib_frame_type_error = 4,
    NDIlib_frame_type_status_change = 100,
};

struct NDIlib_audio_frame_v2_t;  // never captured: passed as null

}  // extern "C"

#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(NDIlib_source_t) == 16);
static_assert(offsetof(NDIlib_recv_create_v3_t, color_format) == 16);
static_assert(offsetof(NDIlib_recv_create_v3_t, allow_video_fields) == 24);
static_assert(offsetof(NDIlib_recv_create_v3_t, p_ndi_recv_name) == 32);
static_assert(sizeof(NDIlib_recv_create_v3_t) == 40);
#endif

namespace cuewire {

// The receive side of the runtime; a table with a null entry cannot be used.
struct NdiReceiveFunctions {
    NDIlib_recv_instance_t (*recv_create_v3)(const NDIlib_recv_create_v3_t*) = nullptr;
    NDIlib_frame_type_e (*recv_capture_v2)(NDIlib_recv_instance_t, NDIlib_video_frame_v2_t*,
                                           NDIlib_audio_frame_v2_t*, NDIlib_metadata_frame_t*,
                                           uint32_t timeoutMilliseconds) = nullptr;
    void (*recv_free_video_v2)(NDIlib_recv_instance_t, const NDIlib_video_frame_v2_t*) = nullptr;
    void (*recv_free_metadata)(NDIlib_recv_instance_t, const NDIlib_metadata_frame_t*) = nullptr;
    void (*recv_destroy)(NDIlib_recv_instance_t) = nullptr;

    bool Resolve(HMODULE runtime);
};

}  // namespace cuewire
