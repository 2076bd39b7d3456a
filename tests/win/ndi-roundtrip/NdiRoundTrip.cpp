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

#include "tests/win/common/NumberOptions.h"
#include "video/Composer.h"
#include "video/NdiSender.h"
#include "video/win/GdiTextCanvas.h"
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

// The sender keeps its instance to itself; this test asks the runtime about
// receivers, so the table it hands the sender notes each instance created.
// One process, one UI thread: a plain variable is enough.
NdiFunctions g_runtime;
NDIlib_send_instance_t g_currentSender = nullptr;

NDIlib_send_instance_t NotingSendCreate(const NDIlib_send_create_t* create) {
    g_currentSender = g_runtime.send_create(create);
    return g_currentSender;
}

void NotingSendDestroy(NDIlib_send_instance_t instance) {
    g_runtime.send_destroy(instance);
    if (instance == g_currentSender) {
        g_currentSender = nullptr;
    }
}

NdiFunctions NotingTable(const NdiFunctions& runtime) {
    g_runtime = runtime;
    NdiFunctions table = runtime;
    table.send_create = &NotingSendCreate;
    table.send_destroy = &NotingSendDestroy;
    return table;
}

class CSleep final : public IWait {
  public:
    void Wait(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
};

class CNoLink final : public IOutputFollower {
  public:
    void TextShown(std::u16string_view) override {}
    void TextCleared() override {}
};

class CNoPreview final : public IPreview {
  public:
    void Setup() override {}
    void SetFrame(const uint8_t*, int32_t, int32_t, int32_t, uint32_t, float) override {}
    void Refresh() override {}
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

class CRoundTrip {
  public:
    CRoundTrip(CNdiSender& sender, COutputComposer& composer, GetNoConnections connections,
               const Options& options)
        : m_sender(sender), m_composer(composer), m_connections(connections), m_options(options) {}

    void ShowSize(int32_t width, int32_t height) {
        m_width = width;
        m_height = height;
        m_alpha = true;
        // The mode change: the start-up frame is armed again so that it is seen at this size.
        m_composer.ArmStartupFrame();
        ApplyVideoMode();
        Phase("startup");

        m_composer.EndStartup();
        ShowText("text");

        m_composer.ComposeAndSend({m_width, m_height, u"", false});
        Phase("empty");
    }

    // "+Alpha" unticked: the same pixels, sent as BGRX.
    void ShowTextWithoutAlpha(int32_t width, int32_t height) {
        m_width = width;
        m_height = height;
        m_alpha = false;
        ApplyVideoMode();
        ShowText("text-bgrx");
    }

  private:
    // In the panel's order: the sender leaves, the surfaces take the new size,
    // the frame is composed, and the sender comes back with it.
    void ApplyVideoMode() {
        m_sender.DestroySender();
        m_sender.FillFrameDescriptors(m_width, m_height, kRateN, kRateD, m_alpha);
        m_composer.ApplySize(m_width, m_height);
        m_composer.ComposeAndSend({m_width, m_height, u"", false});
        m_sender.CreateSender(0);
        m_sender.SendFrame(m_sender.CurrentFrame());
    }

    void ShowText(const char* phase) {
        m_composer.QueueText();
        m_composer.ComposeAndSend({m_width, m_height, kLiveText, false});
        Phase(phase);
    }

    void Phase(const char* content) {
        ++m_nPhase;
        std::printf("phase %d %dx%d %s ready\n", m_nPhase, m_width, m_height, content);
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
            receivers = g_currentSender ? m_connections(g_currentSender, kPollMilliseconds) : 0;
            if (GetTickCount64() >= nextSend) {
                m_sender.SendFrame(m_sender.CurrentFrame());
                nextSend += kResendMilliseconds;
            }
        } while ((receivers > 0) == connected && GetTickCount64() < end);
        return receivers;
    }

    CNdiSender& m_sender;            // not owned
    COutputComposer& m_composer;     // not owned
    GetNoConnections m_connections;  // not owned
    const Options& m_options;        // not owned
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_alpha = true;
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
    CGdiTextCanvas canvas(nullptr, module);
    CResourceBitmaps pictures(module);
    CSleep wait;
    CNoLink link;
    CNoPreview preview;
    const NdiFunctions table = NotingTable(runtime.Functions());
    CHeapFrameBufferAllocator frameBuffers;
    CNdiSender sender(table, frameBuffers);
    if (!connections || !sender.InitialiseNdi() || !sender.AllocateFrames()) {
        std::printf("error cannot run NDI\n");
        return 3;
    }
    CHeapFrameBufferAllocator surfaceBlocks;
    COutputComposer composer(sender, canvas, pictures, wait, link, preview, surfaceBlocks);
    composer.LoadPictures(1280, 720);
    // The numbering step creates the sender before the first mode is applied.
    sender.CreateSender(0);

    CRoundTrip roundTrip(sender, composer, connections, options);
    roundTrip.ShowSize(1280, 720);
    roundTrip.ShowSize(1920, 1080);
    roundTrip.ShowTextWithoutAlpha(1280, 720);

    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    sender.ShutdownNdi();
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
