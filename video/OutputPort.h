#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace cuewire {

// A video mode as the output applies it.
struct OutputMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t rateN = 0;
    int32_t rateD = 0;
    bool alpha = true;
};

// What the panel has live when it asks the output for something.
struct LiveText {
    std::u16string_view text;
    bool announce = false;  // the follower hears what the composition shows
};

enum class OutputStart { kStarted, kNoRuntime, kNoFrameBuffers };

// The NDI output with the verbs the panel needs: start, apply a mode, show a
// text, clear, re-send, shut down. What is on air is the output's to know; the
// panel asks. UI thread only.
class IOutput {
  public:
    virtual ~IOutput() = default;

    // The runtime and the two frame buffers; without either the output stays silent.
    virtual OutputStart Start() = 0;
    // The preview's buffer and the two pictures, sized for the first mode.
    virtual void LoadPictures(const OutputMode& mode) = 0;

    // The compositions show the start-up frame until EndStartupPeriod.
    virtual void ArmStartupFrame() = 0;
    // A text that waited for the start-up period goes out now.
    virtual void EndStartupPeriod(const LiveText& live) = 0;

    // Composes the frame at the new size and sends it. With a number, the
    // output publishes under it: the first time by creating the sender before
    // composing, so that the start-up frame goes out through it; later by
    // taking the source off while the new frame is made and bringing it back
    // with that frame. Without a number nothing is published.
    virtual void ApplyMode(const OutputMode& mode, const LiveText& live,
                           std::optional<int32_t> publishAs) = 0;
    // The live text goes out (at the end of the start-up period if that runs).
    virtual void ShowText(const LiveText& live) = 0;
    // No text goes out, nor does one that waited for the start-up period.
    virtual void Clear(const LiveText& live) = 0;
    // The last frame again, so that receivers that join see it; never a
    // buffer that a composition is filling.
    virtual void Resend() = 0;
    // Lets the runtime go: every later call leaves the output silent.
    virtual void ShutDown() = 0;

    // A text is on the frame sent last.
    virtual bool TextShown() const = 0;
    // The runtime's version, null before it runs.
    virtual const char* RuntimeVersion() const = 0;
};

}  // namespace cuewire
