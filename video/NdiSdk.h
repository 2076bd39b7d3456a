#pragma once
// Our declarations of the NDI SDK records and functions the program uses,
// written from the SDK's public documentation. The records must match the
// SDK's x64 layout byte for byte: the runtime reads them as it defines them.
#include <cstddef>
#include <cstdint>

extern "C" {

using NDIlib_send_instance_t = void*;

struct NDIlib_send_create_t {
    const char* p_ndi_name;
    const char* p_groups;
    bool clock_video;
    bool clock_audio;
};

struct NDIlib_metadata_frame_t {
    int length;
    int64_t timecode;
    char* p_data;
};

enum NDIlib_frame_format_type_e : int32_t {
    NDIlib_frame_format_type_progressive = 1,
};

struct NDIlib_video_frame_v2_t {
    int xres;
    int yres;
    uint32_t FourCC;
    int frame_rate_N;
    int frame_rate_D;
    float picture_aspect_ratio;
    NDIlib_frame_format_type_e frame_format_type;
    int64_t timecode;
    uint8_t* p_data;
    union {
        int line_stride_in_bytes;
        int data_size_in_bytes;
    };
    const char* p_metadata;
    int64_t timestamp;
};

}  // extern "C"

constexpr int64_t NDIlib_send_timecode_synthesize = INT64_MAX;

#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(NDIlib_video_frame_v2_t) == 72,
              "NDIlib_video_frame_v2_t must be 72 bytes on x64");
static_assert(offsetof(NDIlib_video_frame_v2_t, timecode) == 32);
static_assert(offsetof(NDIlib_video_frame_v2_t, p_data) == 40);
static_assert(offsetof(NDIlib_video_frame_v2_t, line_stride_in_bytes) == 48);
static_assert(offsetof(NDIlib_video_frame_v2_t, p_metadata) == 56);
static_assert(sizeof(NDIlib_metadata_frame_t) == 24);
static_assert(sizeof(NDIlib_send_create_t) == 24);
#endif

namespace cuewire {

// The seven runtime functions, resolved by the platform's loader (or faked in
// tests). A table with any null entry counts as a runtime that cannot run.
struct NdiFunctions {
    bool (*initialize)() = nullptr;
    void (*destroy)() = nullptr;
    const char* (*version)() = nullptr;
    NDIlib_send_instance_t (*send_create)(const NDIlib_send_create_t*) = nullptr;
    void (*send_destroy)(NDIlib_send_instance_t) = nullptr;
    void (*send_send_video_async_v2)(NDIlib_send_instance_t,
                                     const NDIlib_video_frame_v2_t*) = nullptr;
    void (*send_add_connection_metadata)(NDIlib_send_instance_t,
                                         const NDIlib_metadata_frame_t*) = nullptr;

    bool Complete() const {
        return initialize && destroy && version && send_create && send_destroy &&
               send_send_video_async_v2 && send_add_connection_metadata;
    }
};

}  // namespace cuewire
