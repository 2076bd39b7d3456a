// ndi-monitor: connects to one NDI source by address and prints what arrives,
// one line per video frame and per metadata text, optionally saving frames as
// PNG files. For people watching a source, and for the end-to-end tests.
//
//   ndi-monitor --address 127.0.0.1:5961 [--name X] [--frames N] [--seconds S]
//               [--save-dir D] [--save-every K]
//
// Lines:
//   connecting <address> name=<name> runtime=<path>
//   frame <n> <W>x<H> <FourCC> <N>/<D> aspect=<a> stride=<s> [file=<path>]
//         at=<ms> covered=<pixels> sum=<hex>
//   metadata <text>
//   done frames=<n> metadata=<m>
// at: when the frame arrived, in milliseconds since 1970 on the wall clock
// (under Wine the host's, so shell scripts can set it beside their own times);
// covered: how many pixels have an alpha byte other than 0, which tells an
// empty transparent frame from one showing something; sum: a checksum of the
// pixels, which tells two different pictures apart.
// Ends after N frames or S seconds (whichever comes first; neither: Ctrl-C).
// Exit status 0 when the requested frames arrived (or, without --frames, at
// least one), 1 when they did not, 2 for bad arguments, 3 when NDI cannot run.
// A frame that cannot be saved shows file-error=<path> instead of file=, and
// stderr says why.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win32/WideText.h"
#include "tools/common/WallClock.h"
#include "tools/ndi-monitor/ComApartment.h"
#include "tools/ndi-monitor/NdiReceive.h"
#include "tools/ndi-monitor/PngWriter.h"
#include "video/PixelFormat.h"
#include "video/win/NdiRuntimeLoader.h"

namespace cuewire {
namespace {

constexpr uint32_t kCaptureMilliseconds = 200;

struct Options {
    std::string address;
    std::string name = "ndi-monitor";
    long frames = 0;   // 0: no limit
    long seconds = 0;  // 0: no limit
    std::wstring saveDir;
    long saveEvery = 1;
};

bool ParseCount(const wchar_t* text, long& out) {
    wchar_t* end = nullptr;
    out = std::wcstol(text, &end, 10);
    return end && *end == L'\0' && out >= 0;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring key = argv[i];
        const wchar_t* value = argv[i + 1];
        bool ok = true;
        if (key == L"--address") {
            options.address = ToUtf8(value);
        } else if (key == L"--name") {
            options.name = ToUtf8(value);
        } else if (key == L"--frames") {
            ok = ParseCount(value, options.frames);
        } else if (key == L"--seconds") {
            ok = ParseCount(value, options.seconds);
        } else if (key == L"--save-dir") {
            options.saveDir = value;
        } else if (key == L"--save-every") {
            ok = ParseCount(value, options.saveEvery) && options.saveEvery > 0;
        } else {
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    return argc % 2 == 1 && !options.address.empty();
}

struct PixelSummary {
    long covered = 0;
    uint32_t sum = 2166136261u;  // FNV-1a over the pixel words, row by row
};

PixelSummary Summarise(const NDIlib_video_frame_v2_t& video) {
    PixelSummary summary;
    for (int y = 0; y < video.yres; ++y) {
        const uint8_t* row = video.p_data + static_cast<ptrdiff_t>(y) * video.line_stride_in_bytes;
        for (int x = 0; x < video.xres; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, row + x * 4, 4);
            summary.covered += (pixel >> 24) != 0 ? 1 : 0;
            summary.sum = (summary.sum ^ pixel) * 16777619u;
        }
    }
    return summary;
}

std::string FourCcText(uint32_t fourCc) {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8) {
        const char c = static_cast<char>((fourCc >> shift) & 0xff);
        text += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return text;
}

// The receive side of one connection; destroys the receiver when it goes.
class CMonitor {
  public:
    CMonitor(const NdiReceiveFunctions& ndi, const Options& options, const CPngWriter& png)
        : m_ndi(ndi), m_options(options), m_png(png) {}
    ~CMonitor() {
        if (m_receiver) {
            m_ndi.recv_destroy(m_receiver);
        }
    }
    CMonitor(const CMonitor&) = delete;
    CMonitor& operator=(const CMonitor&) = delete;

    bool Connect() {
        NDIlib_recv_create_v3_t create{};
        create.source_to_connect_to.p_ndi_name = m_options.name.c_str();
        create.source_to_connect_to.p_url_address = m_options.address.c_str();
        create.color_format = NDIlib_recv_color_format_BGRX_BGRA;
        create.bandwidth = NDIlib_recv_bandwidth_highest;
        create.allow_video_fields = false;
        create.p_ndi_recv_name = "ndi-monitor";
        m_receiver = m_ndi.recv_create_v3(&create);
        return m_receiver != nullptr;
    }

    void Run() {
        const ULONGLONG deadline =
            GetTickCount64() + static_cast<ULONGLONG>(m_options.seconds) * 1000;
        while ((m_options.frames == 0 || m_nFrames < m_options.frames) &&
               (m_options.seconds == 0 || GetTickCount64() < deadline)) {
            CaptureOne();
        }
    }

    long Frames() const { return m_nFrames; }
    long MetadataCount() const { return m_nMetadata; }

  private:
    void CaptureOne() {
        NDIlib_video_frame_v2_t video{};
        NDIlib_metadata_frame_t metadata{};
        switch (
            m_ndi.recv_capture_v2(m_receiver, &video, nullptr, &metadata, kCaptureMilliseconds)) {
            case NDIlib_frame_type_video:
                PrintFrame(video);
                m_ndi.recv_free_video_v2(m_receiver, &video);
                break;
            case NDIlib_frame_type_metadata:
                ++m_nMetadata;
                std::printf("metadata %s\n", metadata.p_data ? metadata.p_data : "");
                std::fflush(stdout);
                m_ndi.recv_free_metadata(m_receiver, &metadata);
                break;
            default:
                break;
        }
    }

    void PrintFrame(const NDIlib_video_frame_v2_t& video) {
        const long long arrived = UnixMilliseconds();
        ++m_nFrames;
        std::printf("frame %ld %dx%d %s %d/%d aspect=%.6f stride=%d", m_nFrames, video.xres,
                    video.yres, FourCcText(video.FourCC).c_str(), video.frame_rate_N,
                    video.frame_rate_D, static_cast<double>(video.picture_aspect_ratio),
                    video.line_stride_in_bytes);
        if (!m_options.saveDir.empty() && (m_nFrames - 1) % m_options.saveEvery == 0) {
            SaveFrame(video);
        }
        const PixelSummary summary = Summarise(video);
        std::printf(" at=%lld covered=%ld sum=%08x\n", arrived, summary.covered,
                    static_cast<unsigned>(summary.sum));
        std::fflush(stdout);
    }

    void SaveFrame(const NDIlib_video_frame_v2_t& video) {
        wchar_t file[32];
        std::swprintf(file, 32, L"frame-%04ld.png", m_nFrames);
        const std::wstring path = m_options.saveDir + L"\\" + file;
        const HRESULT hr = m_png.Write(path, video.p_data, video.xres, video.yres,
                                       video.line_stride_in_bytes, video.FourCC == kFourCcBgrx);
        const std::string shown = ToUtf8(path);
        std::printf(SUCCEEDED(hr) ? " file=%s" : " file-error=%s", shown.c_str());
        if (FAILED(hr)) {
            std::fprintf(stderr, "ndi-monitor: cannot save %s (error 0x%08lx)\n", shown.c_str(),
                         static_cast<unsigned long>(hr));
        }
    }

    const NdiReceiveFunctions& m_ndi;  // not owned
    const Options& m_options;          // not owned
    const CPngWriter& m_png;           // not owned
    NDIlib_recv_instance_t m_receiver = nullptr;
    long m_nFrames = 0;
    long m_nMetadata = 0;
};

// A writer that cannot work is reported once here; each frame it then fails
// to save says so again.
void OpenPngWriter(const Options& options, const ComApartment& com, CPngWriter& png) {
    if (options.saveDir.empty()) {
        return;
    }
    const HRESULT hr = FAILED(com.Result()) ? com.Result() : png.Open();
    if (FAILED(hr)) {
        std::fprintf(stderr, "ndi-monitor: cannot save PNG files (error 0x%08lx)\n",
                     static_cast<unsigned long>(hr));
    }
}

int Monitor(const Options& options) {
    const ComApartment com;
    CPngWriter png;
    OpenPngWriter(options, com, png);
    CNdiRuntimeLoader runtime;
    NdiReceiveFunctions receive;
    if (!runtime.Load() || !receive.Resolve(runtime.Module()) ||
        !runtime.Functions().initialize()) {
        std::printf("error cannot run NDI\n");
        return 3;
    }
    std::printf("connecting %s name=%s runtime=%s\n", options.address.c_str(), options.name.c_str(),
                ToUtf8(runtime.LoadedPath()).c_str());
    std::fflush(stdout);
    long frames = 0;
    {
        CMonitor monitor(receive, options, png);
        if (!monitor.Connect()) {
            std::printf("error cannot create a receiver\n");
            runtime.Functions().destroy();
            return 3;
        }
        monitor.Run();
        frames = monitor.Frames();
        std::printf("done frames=%ld metadata=%ld\n", frames, monitor.MetadataCount());
        std::fflush(stdout);
    }
    runtime.Functions().destroy();
    const long wanted = options.frames > 0 ? options.frames : 1;
    return frames >= wanted ? 0 : 1;
}

}  // namespace
}  // namespace cuewire

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    cuewire::Options options;
    const bool ok = argv && cuewire::ParseOptions(argc, argv, options);
    LocalFree(argv);
    if (!ok) {
        std::fprintf(stderr,
                     "usage: ndi-monitor --address HOST:PORT [--name X] [--frames N] "
                     "[--seconds S] [--save-dir D] [--save-every K]\n");
        return 2;
    }
    return cuewire::Monitor(options);
}
