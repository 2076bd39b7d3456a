// Destroys and re-creates the NDI sender again and again, as every video-mode
// change does, with the runtime loaded (and, under Wine, fixed) by the
// program's own loader. Prints how long each destroy took and how many
// threads the process has, so that a hanging destroy or leaking threads show.
//
//   ndi-cycles --cycles N [--hold-ms H] [--wait-receiver-ms W]
//
// Each cycle creates "Bryvo Cuewire 1" with the connection metadata
// <cuewire_cycle n="i"/>, sends a 1280 x 720 frame once a second, waits up to
// W ms for a receiver (when W > 0), holds H ms more, then destroys the sender.
// Lines:
//   runtime <path> patched-imports=<k> version=<text>
//   cycle <i> created threads=<t>
//   cycle <i> receivers=<r>
//   cycle <i> destroyed ms=<m> threads=<t>
//   threads-started-in[-before|-after] <module>=<count> ...
//   done
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "tests/win/common/NumberOptions.h"
#include "tests/win/common/ThreadCount.h"
#include "video/NdiSdk.h"
#include "video/PixelFormat.h"
#include "video/win/NdiRuntimeLoader.h"

namespace cuewire {
namespace {

using test_programs::ThreadCount;

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr DWORD kResendMilliseconds = 1000;
constexpr uint32_t kReceiverPollMilliseconds = 100;

// Not in the program's table: only this test asks whether anyone is connected.
using GetNoConnections = int (*)(NDIlib_send_instance_t, uint32_t timeoutMilliseconds);

struct Options {
    long cycles = 3;
    long holdMs = 1000;
    long waitReceiverMs = 0;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    return test_programs::ParseNumberOptions(argc, argv,
                                             {{"--cycles", &options.cycles},
                                              {"--hold-ms", &options.holdMs},
                                              {"--wait-receiver-ms", &options.waitReceiverMs}});
}

double MillisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

class CCycles {
  public:
    CCycles(INdiRuntime& ndi, GetNoConnections connections, const Options& options,
            NDIlib_video_frame_v2_t& frame)
        : m_ndi(ndi), m_connections(connections), m_options(options), m_frame(frame) {}

    bool RunCycle(long cycle) {
        const NDIlib_send_create_t create{"Bryvo Cuewire 1", nullptr, true, false};
        NDIlib_send_instance_t sender = m_ndi.SendCreate(create);
        if (!sender) {
            std::printf("cycle %ld create-failed\n", cycle);
            return false;
        }
        char text[64];
        std::snprintf(text, sizeof text, "<cuewire_cycle n=\"%ld\"/>", cycle);
        NDIlib_metadata_frame_t metadata{};
        metadata.length = static_cast<int>(std::strlen(text));
        metadata.timecode = NDIlib_send_timecode_synthesize;
        metadata.p_data = text;
        m_ndi.AddConnectionMetadata(sender, metadata);
        std::printf("cycle %ld created threads=%d\n", cycle, ThreadCount());
        std::fflush(stdout);

        m_ndi.SendVideoAsync(sender, &m_frame);
        if (m_options.waitReceiverMs > 0) {
            std::printf("cycle %ld receivers=%d\n", cycle, WaitForReceiver(sender));
            std::fflush(stdout);
        }
        Hold(sender, static_cast<ULONGLONG>(m_options.holdMs));

        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        m_ndi.SendDestroy(sender);
        const double took = MillisecondsSince(start);
        std::printf("cycle %ld destroyed ms=%.1f threads=%d\n", cycle, took, ThreadCount());
        std::fflush(stdout);
        return true;
    }

  private:
    int WaitForReceiver(NDIlib_send_instance_t sender) {
        const ULONGLONG deadline =
            GetTickCount64() + static_cast<ULONGLONG>(m_options.waitReceiverMs);
        ULONGLONG nextSend = GetTickCount64() + kResendMilliseconds;
        int receivers = 0;
        while (receivers == 0 && GetTickCount64() < deadline) {
            receivers = m_connections(sender, kReceiverPollMilliseconds);
            if (GetTickCount64() >= nextSend) {
                m_ndi.SendVideoAsync(sender, &m_frame);
                nextSend += kResendMilliseconds;
            }
        }
        return receivers;
    }

    // Re-sends the frame once a second, as the program does, for `milliseconds`.
    void Hold(NDIlib_send_instance_t sender, ULONGLONG milliseconds) {
        const ULONGLONG end = GetTickCount64() + milliseconds;
        for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
            const ULONGLONG step =
                end - now < kResendMilliseconds ? end - now : kResendMilliseconds;
            Sleep(static_cast<DWORD>(step));
            m_ndi.SendVideoAsync(sender, &m_frame);
        }
    }

    INdiRuntime& m_ndi;              // not owned
    GetNoConnections m_connections;  // not owned
    const Options& m_options;        // not owned
    NDIlib_video_frame_v2_t& m_frame;
};

int Run(const Options& options) {
    CNdiRuntimeLoader runtime;
    if (!runtime.Load() || !runtime.Runtime().Initialize()) {
        std::printf("error cannot run NDI\n");
        return 3;
    }
    INdiRuntime& ndi = runtime.Runtime();
    const auto connections = reinterpret_cast<GetNoConnections>(reinterpret_cast<void (*)()>(
        GetProcAddress(runtime.Module(), "NDIlib_send_get_no_connections")));
    std::unique_ptr<uint32_t[]> pixels(new (std::nothrow) uint32_t[kWidth * kHeight]);
    if (!connections || !pixels) {
        std::printf("error setup\n");
        return 3;
    }
    std::fill_n(pixels.get(), kWidth * kHeight, kTextBoxBlack);
    NDIlib_video_frame_v2_t frame{};
    frame.xres = kWidth;
    frame.yres = kHeight;
    frame.FourCC = kFourCcBgra;
    frame.frame_rate_N = 30000;
    frame.frame_rate_D = 1200;
    frame.picture_aspect_ratio = kAspect16By9;
    frame.frame_format_type = NDIlib_frame_format_type_progressive;
    frame.timecode = NDIlib_send_timecode_synthesize;
    frame.p_data = reinterpret_cast<uint8_t*>(pixels.get());
    frame.line_stride_in_bytes = kWidth * 4;

    char path[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, runtime.LoadedPath().c_str(), -1, path, sizeof path, nullptr,
                        nullptr);
    std::printf("runtime %s patched-imports=%d version=%s\n", path, runtime.PatchedImports(),
                ndi.Version());
    std::printf("threads-before %d\n", ThreadCount());
    test_programs::PrintThreadsByStartModule("threads-started-in-before");
    std::fflush(stdout);

    CCycles cycles(ndi, connections, options, frame);
    bool ok = true;
    for (long cycle = 1; ok && cycle <= options.cycles; ++cycle) {
        ok = cycles.RunCycle(cycle);
    }
    // Which code the threads that outlived the senders belong to.
    test_programs::PrintThreadsByStartModule("threads-started-in-after");
    ndi.Destroy();
    std::printf("done\n");
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace cuewire

int main(int argc, char** argv) {
    cuewire::Options options;
    if (!cuewire::ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: ndi-cycles --cycles N [--hold-ms H] [--wait-receiver-ms W]\n");
        return 2;
    }
    return cuewire::Run(options);
}
