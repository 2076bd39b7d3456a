// The real runtime reaches the sender as a table of resolved functions: one
// that lacks any of them must count as a runtime that cannot run, before any
// of its functions is called.
#include "video/NdiRuntime.h"

#include <gtest/gtest.h>

#include <string_view>

namespace cuewire {
namespace {

int g_initializeCalls = 0;  // the table's entries are plain functions without a context

bool Initialize() {
    ++g_initializeCalls;
    return true;
}
void Destroy() {}
const char* Version() {
    return "3.5.9.0";
}
NDIlib_send_instance_t SendCreate(const NDIlib_send_create_t*) {
    return nullptr;
}
void SendDestroy(NDIlib_send_instance_t) {}
void SendVideo(NDIlib_send_instance_t, const NDIlib_video_frame_v2_t*) {}
void AddMetadata(NDIlib_send_instance_t, const NDIlib_metadata_frame_t*) {}

NdiFunctions CompleteTable() {
    NdiFunctions f;
    f.initialize = &Initialize;
    f.destroy = &Destroy;
    f.version = &Version;
    f.send_create = &SendCreate;
    f.send_destroy = &SendDestroy;
    f.send_send_video_async_v2 = &SendVideo;
    f.send_add_connection_metadata = &AddMetadata;
    return f;
}

TEST(NdiFunctionTable, RunsOnlyWhenEveryFunctionWasResolved) {
    const struct {
        const char* missing;
        void (*clear)(NdiFunctions&);
    } cases[] = {
        {"nothing", [](NdiFunctions&) {}},
        {"initialize", [](NdiFunctions& f) { f.initialize = nullptr; }},
        {"destroy", [](NdiFunctions& f) { f.destroy = nullptr; }},
        {"version", [](NdiFunctions& f) { f.version = nullptr; }},
        {"send_create", [](NdiFunctions& f) { f.send_create = nullptr; }},
        {"send_destroy", [](NdiFunctions& f) { f.send_destroy = nullptr; }},
        {"send_send_video_async_v2", [](NdiFunctions& f) { f.send_send_video_async_v2 = nullptr; }},
        {"send_add_connection_metadata",
         [](NdiFunctions& f) { f.send_add_connection_metadata = nullptr; }},
    };
    for (const auto& c : cases) {
        NdiFunctions functions = CompleteTable();
        c.clear(functions);
        CNdiFunctionTable runtime(functions);
        g_initializeCalls = 0;
        const bool complete = std::string_view(c.missing) == "nothing";
        EXPECT_EQ(runtime.Initialize(), complete) << "missing " << c.missing;
        EXPECT_EQ(g_initializeCalls, complete ? 1 : 0) << "missing " << c.missing;
    }
}

}  // namespace
}  // namespace cuewire
