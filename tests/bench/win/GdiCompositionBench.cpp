// The go-live composition's cost per frame on the real platform: the core's
// output with the DirectWrite text canvas (a text layout made, measured and
// drawn for every frame) and the program's own pictures. Its waits return at once
// and the NDI runtime is a stand-in that takes each frame and does nothing, as
// the real one only takes a pointer. Prints figures; asserts nothing.
//
//   gdi_composition_bench.exe [--frames N] [--repeats R]
//
// Each case runs R batches of N compositions after a few to warm up; a line
// "result ..." gives the medians per frame of wall time, of this thread's CPU
// time and of the wall time spent inside the text canvas.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tests/fakes/OutputRig.h"
#include "tests/fakes/SilentNdiRuntime.h"
#include "tests/win/common/GdiCountsReport.h"
#include "tests/win/common/HeadlessOutput.h"
#include "tests/win/common/NumberOptions.h"
#include "video/PixelBlockAllocator.h"
#include "video/PixelFormat.h"
#include "video/win/DWriteTextCanvas.h"
#include "video/win/ResourceBitmaps.h"
#include "win32/GdiOwners.h"

namespace {

using namespace cuewire;
using namespace cuewire::test_programs;

// The line every text frame carries; the comparison with ffmpeg reads it from
// the output so that both draw the same text.
constexpr char16_t kLiveText[] = u"Next: the weather with Anna Lindqvist";
// A line in fonts the system's fallback finds (Chinese, Japanese, Korean), and
// 37 capitals, which are wider than the box and shrink to fit.
constexpr char16_t kCjkText[] = u"\u6771\u4EAC\u306E\u5929\u6C17 \uC11C\uC6B8 \u5317\u4EAC";
constexpr char16_t kShrinkText[] = u"WELCOME TO THE ANNUAL GENERAL MEETING";
constexpr int kWarmUpFrames = 10;

double ThreadCpuMilliseconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) {
        return 0.0;
    }
    const auto hundredNs = [](FILETIME t) {
        return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return double(hundredNs(kernel) + hundredNs(user)) / 10000.0;
}

// "text-new-glyphs" is the Latin line with the canvas's kept glyphs dropped
// before every frame, as a line of letters never drawn before costs.
enum class Content { kText, kNewGlyphsText, kCjkText, kShrinkText, kNoText, kStartup };

bool HasText(Content content) {
    return content == Content::kText || content == Content::kNewGlyphsText ||
           content == Content::kCjkText || content == Content::kShrinkText;
}

const char16_t* LiveText(Content content) {
    switch (content) {
        case Content::kCjkText:
            return kCjkText;
        case Content::kShrinkText:
            return kShrinkText;
        default:
            return kLiveText;
    }
}

const char* Name(Content content) {
    switch (content) {
        case Content::kText:
            return "text";
        case Content::kNewGlyphsText:
            return "text-new-glyphs";
        case Content::kCjkText:
            return "text-cjk";
        case Content::kShrinkText:
            return "text-shrink";
        case Content::kNoText:
            return "no-text";
        case Content::kStartup:
            return "startup";
    }
    return "?";
}

struct Batch {
    double wallMs = 0, cpuMs = 0, canvasMs = 0;  // per frame
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

class Bench {
  public:
    Bench()
        : m_textCanvas(GetModuleHandleW(nullptr)),
          m_canvas(m_textCanvas),
          m_pictures(GetModuleHandleW(nullptr)),
          m_rig({m_runtime, m_frameBuffers, m_canvas, m_pictures}) {}

    bool Start() {
        if (!m_rig.Start(ModeAt(1280, 720))) {
            return false;
        }
        const COutputComposer& composer = m_rig.output.Composer();
        return composer.Splash().HasLoadedBitmap() && composer.Background().HasLoadedBitmap();
    }

    // A change of video mode as the panel makes it; the first one publishes.
    void ApplyMode(int width, int height) {
        m_width = width;
        m_height = height;
        if (!m_bPublished) {
            m_rig.PublishAndRun(ModeAt(width, height));
            m_bPublished = true;
        } else {
            m_rig.ApplyMode(ModeAt(width, height));
        }
    }

    Batch Run(Content content, long frames) {
        if (content == Content::kStartup) {
            m_rig.output.ArmStartupFrame();
        }
        const std::u16string_view live = LiveText(content);
        m_canvas.TakeTicks();
        const double cpuStart = ThreadCpuMilliseconds();
        const LONGLONG start = Ticks();
        for (long i = 0; i < frames; ++i) {
            if (content == Content::kNewGlyphsText) {
                m_textCanvas.ForgetGlyphs();
            }
            HasText(content) ? m_rig.ShowText(live) : m_rig.Clear(live);
        }
        const LONGLONG end = Ticks();
        const double cpuEnd = ThreadCpuMilliseconds();
        m_rig.output.EndStartupPeriod({});
        Batch batch;
        batch.wallMs = TicksToMilliseconds(end - start) / double(frames);
        batch.cpuMs = (cpuEnd - cpuStart) / double(frames);
        batch.canvasMs = TicksToMilliseconds(m_canvas.TakeTicks()) / double(frames);
        return batch;
    }

    // What the last frame shows in the text box, so that a run which drew no
    // text (no canvas, no face) is seen at once.
    void DescribeLastFrame() {
        const TextBoxGeometry box = TextBoxGeometry::For(m_width, m_height);
        const uint32_t* frame = m_rig.Pixels();
        long opaque = 0, boxBlack = 0;
        for (int y = box.y; y < box.y + box.height; ++y) {
            for (int x = box.x; x < box.x + box.width; ++x) {
                const uint32_t p = frame[size_t(y) * m_width + x];
                opaque += (p >> 24) == 0xff;
                boxBlack += p == kTextBoxBlack;
            }
        }
        std::printf("frame %dx%d: box %dx%d at %d,%d; %ld text pixels, %ld box pixels\n", m_width,
                    m_height, box.width, box.height, box.x, box.y, opaque, boxBlack);
    }

  private:
    static OutputMode ModeAt(int width, int height) { return {width, height, 30000, 1001, true}; }

    testing::SilentNdiRuntime m_runtime;
    CHeapPixelBlockAllocator m_frameBuffers;
    CDWriteTextCanvas m_textCanvas;
    CWatchedCanvas m_canvas;
    CResourceBitmaps m_pictures;
    testing::COutputRig m_rig;
    bool m_bPublished = false;
    int m_width = 0;
    int m_height = 0;
};

}  // namespace

int main(int argc, char** argv) {
    long frames = 300;
    long repeats = 5;
    if (!cuewire::test_programs::ParseNumberOptions(
            argc, argv, {{"--frames", &frames}, {"--repeats", &repeats}}) ||
        frames < 1 || repeats < 1) {
        std::fprintf(stderr, "usage: gdi_composition_bench [--frames N] [--repeats R]\n");
        return 2;
    }
    std::printf("text: %s\n", std::string(std::begin(kLiveText), std::end(kLiveText) - 1).c_str());
    {
        // Ends before the counts of the pictures' GDI objects are printed.
        Bench bench;
        if (!bench.Start()) {
            std::fprintf(stderr, "gdi_composition_bench: no frame buffers or pictures\n");
            return 1;
        }
        const int modes[][2] = {{1280, 720}, {1920, 1080}};
        for (const auto& mode : modes) {
            bench.ApplyMode(mode[0], mode[1]);
            for (Content content : {Content::kText, Content::kNewGlyphsText, Content::kCjkText,
                                    Content::kShrinkText,
                                    Content::kNoText, Content::kStartup}) {
                bench.Run(content, kWarmUpFrames);
                std::vector<double> wall, cpu, canvas;
                for (long r = 0; r < repeats; ++r) {
                    const Batch batch = bench.Run(content, frames);
                    wall.push_back(batch.wallMs);
                    cpu.push_back(batch.cpuMs);
                    canvas.push_back(batch.canvasMs);
                }
                std::printf(
                    "result width=%d height=%d content=%s frames=%ld repeats=%ld wall_ms=%.3f "
                    "min_wall_ms=%.3f cpu_ms=%.3f canvas_ms=%.3f\n",
                    mode[0], mode[1], Name(content), frames, repeats, Median(wall),
                    *std::min_element(wall.begin(), wall.end()), Median(cpu), Median(canvas));
                if (HasText(content)) {
                    bench.DescribeLastFrame();
                }
                std::fflush(stdout);
            }
        }
    }
    PrintGdiCounts("");
    return 0;
}
