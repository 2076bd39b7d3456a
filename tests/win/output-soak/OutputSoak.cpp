// Thousands of text compositions through the output with everything real
// but the waits: the GDI text canvas, the program's pictures and the NDI
// runtime with a live sender. Under Wine the system's own resource counters
// are stubs, so the program prints what proves the absence of leaks instead:
// the GDI owners' create and release counts, every drawing that found no
// canvas, and the process's resident memory over the run.
//
//   output-soak [--compositions N] [--mode-every M] [--sample-every S]
//               [--recreate-sender 0|1]
//
// Texts alternate between a short line and one far wider than the box; the
// output size switches between 1280 x 720 and 1920 x 1080 every M
// compositions, the way the panel changes mode; with --recreate-sender 1 the
// runtime's sender is destroyed and created again each time, as in the panel;
// otherwise the runtime keeps one sender and only flushes it. Lines:
//   runtime <path> patched-imports=<k>
//   rss <compositions> <KiB> threads <t>   every S compositions, after the 100th and at the end
//   rss-after-100 <KiB> / rss-end <KiB> / rss-max <KiB>   (max: from the 100th on)
//   compositions <n> seconds <s> compositions/s <r> mode-changes <k>
//   frames-unkeyed <n>                a sent frame whose box is not keyed
//   drawings <n> drawn <d> canvases-missed <m> incomplete <i>
//   ndi senders-created <c> create-failed <f> destroyed <d> frames-sent <s>
//   ms-each drawing <ms> send <ms>    mean time in the canvas and in handing a frame over
//   threads-start <t> threads-end <t>
//   gdi <kind>: created <n>, released <m>, failed releases <f>
//   done
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "tests/fakes/OutputRig.h"
#include "tests/win/common/GdiCountsReport.h"
#include "tests/win/common/HeadlessOutput.h"
#include "tests/win/common/NumberOptions.h"
#include "tests/win/common/ThreadCount.h"
#include "tests/win/common/WatchedRuntime.h"
#include "video/PixelBlockAllocator.h"
#include "video/PixelFormat.h"
#include "video/TextBoxGeometry.h"
#include "video/win/DWriteTextCanvas.h"
#include "video/win/NdiRuntimeLoader.h"
#include "video/win/ResourceBitmaps.h"
#include "win32/GdiOwners.h"

namespace cuewire {
namespace {

using namespace test_programs;

// 25p, the panel's first mode.
constexpr int32_t kRateN = 30000;
constexpr int32_t kRateD = 1200;
// Resident memory is flat from here on; before it, caches and first-use
// allocations of both sizes are still filling.
constexpr long kSettledCompositions = 100;
// Often enough that a short peak between printed samples still counts.
constexpr long kMaxSampleEvery = 10;

struct Options {
    long compositions = 20000;
    long modeEvery = 50;
    long sampleEvery = 1000;
    long recreateSender = 0;  // 1: every size change re-creates the sender, as the panel does
};

bool ParseOptions(int argc, char** argv, Options& options) {
    return test_programs::ParseNumberOptions(argc, argv,
                                             {{"--compositions", &options.compositions},
                                              {"--mode-every", &options.modeEvery},
                                              {"--sample-every", &options.sampleEvery},
                                              {"--recreate-sender", &options.recreateSender}}) &&
           options.compositions > kSettledCompositions && options.modeEvery > 0 &&
           options.sampleEvery > 0 && options.recreateSender <= 1;
}

// The process's resident memory in KiB, 0 if unknown. Wine fills the working
// set from the process's own /proc/self/status (VmRSS), read in the process;
// a Z:\proc\self path would not do, since the server opens files for its
// clients and /proc/self would then be the server.
long ResidentKiB() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        return 0;
    }
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

double SecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Texts that differ from one composition to the next without being built
// each time: a few short lines, and windows into a line far wider than any box.
// Escaped, so that every compiler reads the same code units.
class CTexts {
  public:
    CTexts() {
        for (int i = 0; i < 40; ++i) {
            m_strLong +=
                u"Gr\u00fc\u00dfe aus dem Studio \u2014 the long road to the final whistle ";
        }
    }

    std::u16string_view For(long composition) const {
        if (composition % 2 == 0) {
            return kShort[(composition / 2) % std::size(kShort)];
        }
        const size_t start = static_cast<size_t>(composition / 2) % 97;
        return std::u16string_view(m_strLong).substr(start, kLongUnits);
    }

  private:
    static constexpr size_t kLongUnits = 600;
    static constexpr std::u16string_view kShort[] = {
        u"Next: the weather", u"Anna Lindqvist, Uppsala", u"Gr\u00fc\u00dfe \u00ae", u"LIVE",
        u"Pause 3:2"};
    std::u16string m_strLong;
};

class CSoak {
  public:
    CSoak(testing::COutputRig& rig, const Options& options) : m_rig(rig), m_options(options) {}

    // As at the panel's start: the pictures, then the start-up frame, composed
    // before the copy publishes; the sender comes with the first frame after it.
    void Start() {
        m_rig.output.ArmStartupFrame();
        ApplyVideoMode(1280, 720, u"", std::nullopt);
        m_rig.output.EndStartupPeriod({});
        ApplyVideoMode(1280, 720, u"", kCopyOne);
        m_nModeChanges = 1;  // the start is one, as the panel's first mode
    }

    void Run() {
        const long first = ResidentKiB();
        std::printf("rss 0 %ld\n", first);
        std::fflush(stdout);

        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        for (long i = 0; i < m_options.compositions; ++i) {
            Compose(i);
            Sample(i + 1);
        }
        const double seconds = SecondsSince(start);
        std::printf("rss-after-100 %ld\nrss-end %ld\nrss-max %ld\n", m_nSettledKiB, m_nLastKiB,
                    m_nMaxKiB);
        std::printf("compositions %ld seconds %.1f compositions/s %.1f mode-changes %ld\n",
                    m_options.compositions, seconds,
                    static_cast<double>(m_options.compositions) / seconds, m_nModeChanges);
        std::printf("frames-unkeyed %ld\n", m_nUnkeyed);
    }

  private:
    // Every composition draws its text; every M-th comes from a mode change,
    // which redraws the text shown at the other size.
    void Compose(long i) {
        const std::u16string_view text = m_texts.For(i);
        if (i % m_options.modeEvery == 0 && i > 0) {
            const bool large = (i / m_options.modeEvery) % 2 == 1;
            ApplyVideoMode(large ? 1920 : 1280, large ? 1080 : 720, text, kCopyOne);
        } else {
            m_rig.ShowText(text);
        }
        CheckKeyedBox();
    }

    void ApplyVideoMode(int32_t width, int32_t height, std::u16string_view text,
                        std::optional<int32_t> publishAs) {
        m_width = width;
        m_height = height;
        m_rig.output.ApplyMode({width, height, kRateN, kRateD, true}, {text, false}, publishAs);
        ++m_nModeChanges;
    }

    // The box's top-left pixel lies above the text's cell: keyed, it is the
    // box's translucent black, in the buffer that went out.
    void CheckKeyedBox() {
        const TextBoxGeometry box = TextBoxGeometry::For(m_width, m_height);
        const uint32_t* frame = m_rig.Pixels();
        const uint32_t corner = frame ? frame[box.y * m_width + box.x] : 0;
        m_nUnkeyed += corner == kTextBoxBlack ? 0 : 1;
    }

    void Sample(long done) {
        const bool printed = done == kSettledCompositions || done % m_options.sampleEvery == 0 ||
                             done == m_options.compositions;
        if (!printed && done % kMaxSampleEvery != 0) {
            return;
        }
        m_nLastKiB = ResidentKiB();
        if (done == kSettledCompositions) {
            m_nSettledKiB = m_nLastKiB;
        }
        if (done >= kSettledCompositions && m_nLastKiB > m_nMaxKiB) {
            m_nMaxKiB = m_nLastKiB;
        }
        if (printed) {
            std::printf("rss %ld %ld threads %d\n", done, m_nLastKiB, ThreadCount());
            std::fflush(stdout);
        }
    }

    static constexpr int32_t kCopyOne = 0;

    testing::COutputRig& m_rig;  // not owned
    const Options& m_options;    // not owned
    CTexts m_texts;
    int32_t m_width = 0;
    int32_t m_height = 0;
    long m_nModeChanges = 0;
    long m_nUnkeyed = 0;
    long m_nSettledKiB = 0;
    long m_nLastKiB = 0;
    long m_nMaxKiB = 0;
};

int Run(const Options& options) {
    const int threadsAtStart = ThreadCount();
    CNdiRuntimeLoader runtime;
    if (!runtime.Load()) {
        std::printf("error cannot load NDI\n");
        return 3;
    }
    char path[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, runtime.LoadedPath().c_str(), -1, path, sizeof path, nullptr,
                        nullptr);
    std::printf("runtime %s patched-imports=%d\n", path, runtime.PatchedImports());

    const HINSTANCE module = GetModuleHandleW(nullptr);
    CWatchedRuntime watched(runtime.Runtime());
    long drawings = 0, missed = 0, incomplete = 0;
    LONGLONG drawingTicks = 0;
    {
        // Ends before the counts are printed, with the bundled face's registration.
        CDWriteTextCanvas gdiCanvas(module);
        CWatchedCanvas canvas(gdiCanvas);
        CResourceBitmaps pictures(module);
        CHeapPixelBlockAllocator frameBuffers;
        watched.KeepSender(options.recreateSender == 0);
        testing::COutputRig rig({watched, frameBuffers, canvas, pictures});
        if (!rig.Start({1280, 720, kRateN, kRateD, true})) {
            std::printf("error cannot run NDI\n");
            return 3;
        }
        CSoak soak(rig, options);
        soak.Start();
        soak.Run();
        // The end lets the runtime's one sender go for good.
        watched.KeepSender(false);
        rig.output.ShutDown();
        drawings = canvas.m_nDrawings;
        missed = canvas.m_nMissed;
        incomplete = canvas.m_nIncomplete;
        drawingTicks = canvas.m_nTicks;
    }
    std::printf("drawings %ld drawn %ld canvases-missed %ld incomplete %ld\n", drawings,
                drawings - missed - incomplete, missed, incomplete);
    // Every composition sends once and every mode change once more; a sender
    // that could not be created skips them.
    const NdiCounts& ndi = watched.Counts();
    std::printf("ndi senders-created %ld create-failed %ld destroyed %ld frames-sent %ld\n",
                ndi.created, ndi.createFailed, ndi.destroyed, ndi.framesSent);
    std::printf("ms-each drawing %.2f send %.2f\n",
                drawings ? TicksToMilliseconds(drawingTicks) / static_cast<double>(drawings) : 0.0,
                ndi.framesSent
                    ? TicksToMilliseconds(ndi.sendTicks) / static_cast<double>(ndi.framesSent)
                    : 0.0);
    std::printf("threads-start %d threads-end %d\n", threadsAtStart, ThreadCount());
    PrintGdiCounts("gdi ");
    std::printf("done\n");
    return 0;
}

}  // namespace
}  // namespace cuewire

int main(int argc, char** argv) {
    cuewire::Options options;
    if (!cuewire::ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: output-soak [--compositions N>100] [--mode-every M] "
                     "[--sample-every S] [--recreate-sender 0|1]\n");
        return 2;
    }
    return cuewire::Run(options);
}
