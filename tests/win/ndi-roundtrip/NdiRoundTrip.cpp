// Sends the program's real output through the real NDI runtime: the output
// core composes with the GDI text canvas and the program's own pictures, and
// the sender publishes "Bryvo Cuewire 1", in the order the panel uses. For
// each size (1280 x 720, then 1920 x 1080, which re-creates the sender as a
// mode change does) it shows three phases: the start-up frame, a line of text,
// and an empty frame; then the text once more at 1280 x 720 without alpha.
//
//   ndi-roundtrip [--wait-receiver-ms W] [--max-hold-ms H]
//
// Each phase is held, with the frame re-sent once a second, until a receiver
// has connected (up to W ms) and left again (up to H ms), so that a test can
// run one fresh receiver per phase. Lines:
//   runtime <path> patched-imports=<k>
//   phase <i> <W>x<H> <startup|text|empty|text-bgrx> ready
//   phase <i> done receivers=<r>
//   shutdown ms=<m>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "tests/fakes/OutputRig.h"
#include "tests/win/common/NumberOptions.h"
#include "tests/win/common/WatchedRuntime.h"
#include "video/Output.h"
#include "video/win/DWriteTextCanvas.h"
#include "video/win/NdiRuntimeLoader.h"
#include "video/win/ResourceBitmaps.h"

namespace cuewire {
namespace {

constexpr std::u16string_view kLiveText = u"Live from Cuewire";
constexpr int32_t kRateN = 30000;
constexpr int32_t kRateD = 1200;
constexpr ULONGLONG kResendMilliseconds = 1000;  // the panel's re-send timer
constexpr uint32_t kPollMilliseconds = 100;

using GetNoConnections = int (*)(NDIlib_send_instance_t, uint32_t timeoutMilliseconds);

using test_programs::CWatchedRuntime;

class CSleep final : public IWait {
  public:
    void Wait(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
};

struct Options {
    long waitReceiverMs = 60000;
    long maxHoldMs = 30000;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    return test_programs::ParseNumberOptions(
        argc, argv,
        {{"--wait-receiver-ms", &options.waitReceiverMs}, {"--max-hold-ms", &options.maxHoldMs}});
}

// Copy 1's output, driven as its panel drives it.
class CRoundTrip {
  public:
    CRoundTrip(COutput& output, const CWatchedRuntime& runtime, GetNoConnections connections,
               const Options& options)
        : m_output(output), m_runtime(runtime), m_connections(connections), m_options(options) {}

    void ShowSize(int32_t width, int32_t height) {
        m_mode = {width, height, kRateN, kRateD, true};
        // The mode change: the start-up frame is armed again so that it is seen at this size.
        m_output.ArmStartupFrame();
        m_output.ApplyMode(m_mode, {}, kCopyOne);
        Phase("startup");

        m_output.EndStartupPeriod({});
        ShowText("text");

        m_output.Clear({});
        Phase("empty");
    }

    // "+Alpha" unticked: the same pixels, sent as BGRX.
    void ShowTextWithoutAlpha(int32_t width, int32_t height) {
        m_mode = {width, height, kRateN, kRateD, false};
        m_output.ApplyMode(m_mode, {}, kCopyOne);
        ShowText("text-bgrx");
    }

  private:
    static constexpr int32_t kCopyOne = 0;

    void ShowText(const char* phase) {
        m_output.ShowText({kLiveText});
        Phase(phase);
    }

    void Phase(const char* content) {
        ++m_nPhase;
        std::printf("phase %d %dx%d %s ready\n", m_nPhase, m_mode.width, m_mode.height, content);
        std::fflush(stdout);
        int receivers = HoldWhile(m_options.waitReceiverMs, false);
        if (receivers > 0) {
            HoldWhile(m_options.maxHoldMs, true);
        }
        std::printf("phase %d done receivers=%d\n", m_nPhase, receivers);
        std::fflush(stdout);
    }

    // Re-sends once a second while the receiver count is (connected) or is not
    // (!connected) above zero, for at most `limit` ms. Returns the last count.
    int HoldWhile(long limit, bool connected) {
        const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(limit);
        ULONGLONG nextSend = GetTickCount64() + kResendMilliseconds;
        int receivers = 0;
        do {
            const NDIlib_send_instance_t sender = m_runtime.CurrentSender();
            receivers = sender ? m_connections(sender, kPollMilliseconds) : 0;
            if (GetTickCount64() >= nextSend) {
                m_output.Resend();
                nextSend += kResendMilliseconds;
            }
        } while ((receivers > 0) == connected && GetTickCount64() < end);
        return receivers;
    }

    COutput& m_output;                 // not owned
    const CWatchedRuntime& m_runtime;  // not owned
    GetNoConnections m_connections;    // not owned
    const Options& m_options;          // not owned
    OutputMode m_mode;
    int m_nPhase = 0;
};

int Run(const Options& options) {
    CNdiRuntimeLoader runtime;
    if (!runtime.Load()) {
        std::printf("error cannot load NDI\n");
        return 3;
    }
    const auto connections = reinterpret_cast<GetNoConnections>(reinterpret_cast<void (*)()>(
        GetProcAddress(runtime.Module(), "NDIlib_send_get_no_connections")));
    char path[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, runtime.LoadedPath().c_str(), -1, path, sizeof path, nullptr,
                        nullptr);
    std::printf("runtime %s patched-imports=%d\n", path, runtime.PatchedImports());

    const HINSTANCE module = GetModuleHandleW(nullptr);
    CDWriteTextCanvas canvas(module);
    CResourceBitmaps pictures(module);
    CSleep wait;
    // The output keeps its sender to itself; this test asks the runtime about
    // receivers, so the runtime it hands the output notes each sender made.
    CWatchedRuntime watched(runtime.Runtime());
    CHeapPixelBlockAllocator frameBuffers;
    testing::COutputRig rig({watched, frameBuffers, canvas, pictures, &wait});
    COutput& output = rig.output;
    if (!connections || !rig.Start({1280, 720, kRateN, kRateD, true})) {
        std::printf("error cannot run NDI\n");
        return 3;
    }

    CRoundTrip roundTrip(output, watched, connections, options);
    roundTrip.ShowSize(1280, 720);
    roundTrip.ShowSize(1920, 1080);
    roundTrip.ShowTextWithoutAlpha(1280, 720);

    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    output.ShutDown();
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    std::printf("shutdown ms=%.1f\n", static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                                          static_cast<double>(frequency.QuadPart));
    return 0;
}

}  // namespace
}  // namespace cuewire

int main(int argc, char** argv) {
    cuewire::Options options;
    if (!cuewire::ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: ndi-roundtrip [--wait-receiver-ms W] [--max-hold-ms H]\n");
        return 2;
    }
    return cuewire::Run(options);
}
