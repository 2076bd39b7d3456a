// Saves small frames with ndi-monitor's PNG writer into OUT_DIR and prints
// what each file must hold, for a decoder that is not the platform's to check.
//
//   png-writer-probe OUT_DIR
//
// Lines:
//   saved <file> <W>x<H> rgba=<hex: the pixels as red, green, blue, alpha, rows top-down>
//   refused <case> error=0x<hresult> file-left=<0|1>
//   failed <what>
// Exit status 0 when every line is saved or refused as its case wants.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "win32/WideText.h"
#include "tools/ndi-monitor/ComApartment.h"
#include "tools/ndi-monitor/PngWriter.h"

namespace cuewire {
namespace {

constexpr int kWidth = 3;
constexpr int kHeight = 2;
constexpr int kStride = kWidth * 4 + 8;  // rows with padding, as a receiver may hand them over
constexpr uint8_t kPadding = 0xee;
// Every alpha the output and the codec produce, and a colour under alpha 0.
constexpr uint8_t kAlphas[kWidth * kHeight] = {0, 1, 128, 175, 254, 255};

// Bytes blue, green, red, alpha; each channel of each pixel its own value, so
// that a swapped or shifted channel shows.
std::vector<uint8_t> BgraFrame() {
    std::vector<uint8_t> frame(static_cast<size_t>(kStride) * kHeight, kPadding);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        uint8_t* p = frame.data() + (i / kWidth) * kStride + (i % kWidth) * 4;
        p[0] = static_cast<uint8_t>(0x10 + i);
        p[1] = static_cast<uint8_t>(0x40 + i);
        p[2] = static_cast<uint8_t>(0x80 + i);
        p[3] = kAlphas[i];
    }
    return frame;
}

std::string ExpectedRgba(const std::vector<uint8_t>& frame, bool opaque) {
    std::string hex;
    char byte[3];
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t* p = frame.data() + y * kStride + x * 4;
            for (const uint8_t value : {p[2], p[1], p[0], opaque ? uint8_t{255} : p[3]}) {
                std::snprintf(byte, sizeof byte, "%02x", value);
                hex += byte;
            }
        }
    }
    return hex;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Save(const CPngWriter& png, const std::wstring& dir, const wchar_t* name, bool opaque) {
    const std::vector<uint8_t> frame = BgraFrame();
    const HRESULT hr = png.Write(dir + L"\\" + name, frame.data(), kWidth, kHeight, kStride, opaque);
    if (FAILED(hr)) {
        std::printf("failed %s error=0x%08lx\n", ToUtf8(name).c_str(),
                    static_cast<unsigned long>(hr));
        return false;
    }
    std::printf("saved %s %dx%d rgba=%s\n", ToUtf8(name).c_str(), kWidth, kHeight,
                ExpectedRgba(frame, opaque).c_str());
    return true;
}

// A write that must fail: an error, no crash, and no file left behind.
bool Refuse(const char* what, const CPngWriter& png, const std::wstring& path, int width) {
    const std::vector<uint8_t> frame = BgraFrame();
    const HRESULT hr = png.Write(path, frame.data(), width, kHeight, kStride, false);
    const bool left = FileExists(path);
    std::printf("refused %s error=0x%08lx file-left=%d\n", what, static_cast<unsigned long>(hr),
                left ? 1 : 0);
    return FAILED(hr) && !left;
}

int Probe(const std::wstring& dir) {
    const ComApartment com;
    CPngWriter png;
    const HRESULT opened = FAILED(com.Result()) ? com.Result() : png.Open();
    if (FAILED(opened)) {
        std::printf("failed open error=0x%08lx\n", static_cast<unsigned long>(opened));
        return 1;
    }
    bool ok = Save(png, dir, L"alpha.png", false);
    ok = Save(png, dir, L"opaque.png", true) && ok;
    ok = Refuse("missing-folder", png, dir + L"\\missing\\frame.png", kWidth) && ok;
    ok = Refuse("no-pixels", png, dir + L"\\empty.png", 0) && ok;
    const CPngWriter unopened;
    ok = Refuse("not-opened", unopened, dir + L"\\unopened.png", kWidth) && ok;
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace cuewire

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring dir = argv && argc == 2 ? argv[1] : L"";
    LocalFree(argv);
    if (dir.empty()) {
        std::fprintf(stderr, "usage: png-writer-probe OUT_DIR\n");
        return 2;
    }
    return cuewire::Probe(dir);
}
