// The composition's pixel work per frame, beside one full-frame copy of the
// same size. Waits are excluded and the text canvas is the test canvas, so
// what is measured is our own pixel work.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "res/resource.h"
#include "tests/fakes/FakePorts.h"
#include "tests/fakes/OutputRig.h"
#include "tests/fakes/SilentNdiRuntime.h"

namespace cuewire {
namespace {

// A banner like the real one: opaque inside, fading to transparent over its
// outer 24 pixels, so the blend meets every alpha and mostly the two ends.
LoadedBitmap FadingBanner() {
    constexpr int kWidth = 720, kHeight = 276, kFade = 24;
    LoadedBitmap banner;
    banner.width = kWidth;
    banner.height = kHeight;
    banner.bitsPerPixel = 32;
    banner.pixels.resize(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int edge = std::min(std::min(x, kWidth - 1 - x), std::min(y, kHeight - 1 - y));
            const uint32_t alpha = static_cast<uint32_t>(std::min(255, edge * 255 / kFade));
            banner.pixels[static_cast<size_t>(y) * kWidth + x] = (alpha << 24) | 0x1d2228u;
        }
    }
    return banner;
}

enum class Content { kText, kEmpty, kStartup };

void Compose(benchmark::State& state, Content content) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    testing::SilentNdiRuntime runtime;
    CHeapPixelBlockAllocator frameBuffers;
    testing::BlockTextCanvas canvas;
    testing::MemoryPictures pictures;
    pictures.pictures[IDB_SPLASH] = FadingBanner();
    pictures.Add(IDB_BACKGROUND, 480, 270, 32, 0x00203040);
    testing::COutputRig rig({runtime, frameBuffers, canvas, pictures});
    if (!rig.Start(testing::ModeOf(w, h))) {
        state.SkipWithError("no frame buffers");
        return;
    }
    // The start-up frame goes out on the first sender; the period stays armed
    // for the start-up case.
    rig.Publish(testing::ModeOf(w, h));
    if (content != Content::kStartup) {
        rig.output.EndStartupPeriod({});
    }
    const std::u16string live = u"Live from the studio: Cuewire";
    for (auto _ : state) {
        content == Content::kText ? rig.ShowText(live) : rig.Clear(live);
        benchmark::DoNotOptimize(rig.Pixels());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{w} * h * 4);
}

void BM_ComposeText(benchmark::State& state) {
    Compose(state, Content::kText);
}
void BM_ComposeEmpty(benchmark::State& state) {
    Compose(state, Content::kEmpty);
}
void BM_ComposeStartup(benchmark::State& state) {
    Compose(state, Content::kStartup);
}

void BM_FrameCopy(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(state.range(0)) * state.range(1) * 4;
    std::vector<uint8_t> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

#define CUEWIRE_MODES Args({1280, 720})->Args({1920, 1080})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_FrameCopy)->CUEWIRE_MODES;
BENCHMARK(BM_ComposeText)->CUEWIRE_MODES;
BENCHMARK(BM_ComposeEmpty)->CUEWIRE_MODES;
BENCHMARK(BM_ComposeStartup)->CUEWIRE_MODES;

}  // namespace
}  // namespace cuewire

BENCHMARK_MAIN();
