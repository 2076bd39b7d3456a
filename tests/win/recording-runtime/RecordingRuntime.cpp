// A stand-in for the NDI runtime that logs every call the program makes and
// sends nothing anywhere. Placed beside cuewire.exe under the runtime's file
// name, it lets a test read the order of the calls, one line each:
//   initialize | version | send_create <name> | send_add_connection_metadata <length> <text>
//   send_video <frame index or null> <xres>x<yres> | send_destroy | destroy
// The log goes to the file named by CUEWIRE_NDI_CALL_LOG, else beside the DLL.
//
// CUEWIRE_NDI_FAULT makes it fail the way a real runtime can:
//   initialize       NDIlib_initialize returns false
//   send_create      every NDIlib_send_create returns null
//   send_create:N    the first N of them return null, later ones succeed
// A refused create is logged as "send_create <name> refused". Built with
// RECORDING_RUNTIME_INCOMPLETE it lacks NDIlib_send_add_connection_metadata.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "video/NdiSdk.h"

#define RECORDING_EXPORT extern "C" __declspec(dllexport)

namespace {

// The log stays open for the life of the process: calls come from one thread.
FILE* Log() {
    static FILE* file = [] {
        wchar_t path[MAX_PATH] = {};
        if (GetEnvironmentVariableW(L"CUEWIRE_NDI_CALL_LOG", path, MAX_PATH) == 0) {
            HMODULE self = nullptr;
            GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCWSTR>(&Log), &self);
            GetModuleFileNameW(self, path, MAX_PATH);
            std::wstring beside(path);
            beside = beside.substr(0, beside.find_last_of(L"\\/") + 1) + L"ndi-calls.log";
            lstrcpynW(path, beside.c_str(), MAX_PATH);
        }
        return _wfopen(path, L"ab");  // binary: lines end in a bare newline
    }();
    return file;
}

void Record(const std::string& line) {
    if (FILE* file = Log()) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fflush(file);
    }
}

// The fault chosen for this process.
std::wstring Fault() {
    wchar_t value[64] = {};
    const DWORD length = GetEnvironmentVariableW(L"CUEWIRE_NDI_FAULT", value, 64);
    return length < 64 ? std::wstring(value, length) : std::wstring();
}

// How many creates, counted from the first, are refused: -1 for all of them.
int CreatesToRefuse() {
    const std::wstring fault = Fault();
    if (fault == L"send_create") {
        return -1;
    }
    if (fault.rfind(L"send_create:", 0) == 0) {
        return static_cast<int>(std::wcstol(fault.c_str() + 12, nullptr, 10));
    }
    return 0;
}

int g_senders = 0;
int g_createsRefused = 0;
const uint8_t* g_buffers[2] = {};

// Frames are told apart by their buffers, in the order they first appear.
std::string FrameName(const NDIlib_video_frame_v2_t* frame) {
    if (!frame) {
        return "null";
    }
    for (int i = 0; i < 2; ++i) {
        if (!g_buffers[i]) {
            g_buffers[i] = frame->p_data;
        }
        if (g_buffers[i] == frame->p_data) {
            return std::to_string(i) + " " + std::to_string(frame->xres) + "x" +
                   std::to_string(frame->yres);
        }
    }
    return "other";
}

}  // namespace

RECORDING_EXPORT bool NDIlib_initialize() {
    Record("initialize");
    return Fault() != L"initialize";
}

RECORDING_EXPORT void NDIlib_destroy() {
    Record("destroy");
}

RECORDING_EXPORT const char* NDIlib_version() {
    Record("version");
    return "Recording stand-in 0.0.1";
}

RECORDING_EXPORT NDIlib_send_instance_t NDIlib_send_create(const NDIlib_send_create_t* create) {
    const std::string line =
        std::string("send_create ") + (create && create->p_ndi_name ? create->p_ndi_name : "");
    const int toRefuse = CreatesToRefuse();
    if (toRefuse < 0 || g_createsRefused < toRefuse) {
        ++g_createsRefused;
        Record(line + " refused");
        return nullptr;
    }
    Record(line);
    ++g_senders;
    return &g_senders;
}

RECORDING_EXPORT void NDIlib_send_destroy(NDIlib_send_instance_t) {
    Record("send_destroy");
    --g_senders;
}

RECORDING_EXPORT void NDIlib_send_send_video_async_v2(NDIlib_send_instance_t,
                                                      const NDIlib_video_frame_v2_t* frame) {
    Record("send_video " + FrameName(frame));
}

#ifndef RECORDING_RUNTIME_INCOMPLETE
RECORDING_EXPORT void NDIlib_send_add_connection_metadata(NDIlib_send_instance_t,
                                                          const NDIlib_metadata_frame_t* metadata) {
    Record("send_add_connection_metadata " + std::to_string(metadata->length) + " " +
           std::string(metadata->p_data, static_cast<size_t>(metadata->length)));
}
#endif
