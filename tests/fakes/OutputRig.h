#pragma once
// The output as the panel drives it, assembled from the parts a caller gives
// and stand-ins for the rest: what the unit tests, the benchmarks and the soak
// drive, so that none of them rebuilds the output's order by hand.
#include <cstdint>
#include <optional>
#include <string_view>

#include "video/Output.h"
#include "video/PixelBlockAllocator.h"

namespace cuewire::testing {

// No pacing: a run measures the work alone.
class NoWait final : public IWait {
  public:
    void Wait(int) override {}
};

class SilentFollower final : public IOutputFollower {
  public:
    void TextShown(std::u16string_view) override {}
    void TextCleared() override {}
};

// The preview image is still converted; only the painting is left out.
class UnpaintedPreviewWindow final : public IPreviewWindow {
  public:
    void Show(const uint8_t*, const PreviewBitmapDescription&) override {}
};

// A mode at the panel's first rate, 25p.
inline OutputMode ModeOf(int32_t width, int32_t height, bool alpha = true) {
    return {width, height, 30000, 1200, alpha};
}

// What the caller chooses; a part left null gets a stand-in.
struct OutputParts {
    INdiRuntime& ndi;
    IPixelBlockAllocator& frameBuffers;
    ITextCanvas& canvas;
    IBitmapResources& pictures;
    IWait* wait = nullptr;                          // none: no pacing
    IOutputFollower* follower = nullptr;            // none: nobody follows
    IPreviewWindow* preview = nullptr;              // none: converted, never painted
    IPixelBlockAllocator* surfaceBlocks = nullptr;  // none: from the heap
};

class COutputRig {
  public:
    explicit COutputRig(const OutputParts& parts)
        : output(OutputDevices{parts.ndi, parts.frameBuffers, parts.canvas, parts.pictures,
                               parts.wait ? *parts.wait : m_noWait,
                               parts.preview ? *parts.preview : m_unpainted,
                               parts.surfaceBlocks ? *parts.surfaceBlocks : m_heapBlocks},
                 parts.follower ? *parts.follower : m_silent) {}

    // As the panel's start: the runtime and the frame buffers, then the
    // preview and the pictures at the first mode.
    bool Start(const OutputMode& first = ModeOf(1280, 720)) {
        if (output.Start() != OutputStart::kStarted) {
            return false;
        }
        output.LoadPictures(first);
        return true;
    }
    // As the panel's numbering step: the start-up frame goes out on the
    // copy's first sender, in `mode`. The start-up period runs until
    // EndStartupPeriod.
    void Publish(const OutputMode& mode, int32_t instance = 0) {
        m_instance = instance;
        output.ArmStartupFrame();
        output.ApplyMode(mode, {}, m_instance);
    }
    // Publish, with the start-up period over at once.
    void PublishAndRun(const OutputMode& mode, int32_t instance = 0) {
        Publish(mode, instance);
        output.EndStartupPeriod({});
    }
    // A mode change as the panel makes it, with the text that is live.
    void ApplyMode(const OutputMode& mode, std::u16string_view live = {}, bool announce = false) {
        output.ApplyMode(mode, {live, announce}, m_instance);
    }
    void ShowText(std::u16string_view live, bool announce = false) {
        output.ShowText({live, announce});
    }
    void Clear(std::u16string_view live = {}, bool announce = false) {
        output.Clear({live, announce});
    }

    // The frame sent last, a row of Mode().width pixels after another.
    const uint32_t* Pixels() const { return output.CurrentPixels(); }
    uint32_t Pixel(int32_t x, int32_t y) const {
        return Pixels()[static_cast<size_t>(y) * output.Mode().width + x];
    }

  private:
    // Declared before the output, which holds references to them.
    NoWait m_noWait;
    SilentFollower m_silent;
    UnpaintedPreviewWindow m_unpainted;
    CHeapPixelBlockAllocator m_heapBlocks;
    std::optional<int32_t> m_instance;

  public:
    COutput output;
};

}  // namespace cuewire::testing
