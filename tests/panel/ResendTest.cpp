// The once-a-second re-send hands the runtime the very buffer the last
// composition filled: no heap block taken or given back, no pixel copied or
// redrawn, whatever the output shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "tests/panel/PanelRig.h"
#include "tests/support/HeapCounter.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;

// What the fake records at a send is the test's bookkeeping, not the system's.
class UncountedSends final : public FakeNdiRuntime {
  public:
    void SendVideoAsync(NDIlib_send_instance_t sender,
                        const NDIlib_video_frame_v2_t* frame) override {
        HeapCountPause pause;
        FakeNdiRuntime::SendVideoAsync(sender, frame);
    }
};

struct Situation {
    const char* name;
    void (*reach)(PanelCopy&);
};

constexpr int kTicks = 3;

TEST(Resend, TakesNoHeapAndHandsOverTheComposedBufferUncopied) {
    if (const char* why = HeapCounter::WhyNotCounting()) {
        GTEST_SKIP() << why;
    }
    const Situation situations[] = {
        {"start-up frame", [](PanelCopy& copy) { copy.StartAndNumber(); }},
        {"text shown",
         [](PanelCopy& copy) {
             copy.StartAndRun();
             copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Cue");
             copy.Key(kVirtualKeyF3);
         }},
        {"text taken off",
         [](PanelCopy& copy) {
             copy.StartAndRun();
             copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Cue");
             copy.Key(kVirtualKeyF3);
             copy.Key(kVirtualKeyEscape);
         }},
        {"text shown at 1080 lines",
         [](PanelCopy& copy) {
             copy.StartAndRun();
             copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Cue");
             copy.Key(kVirtualKeyF3);
             copy.window.controls.m_nResolution = 1;
             copy.panel.OnVideoModeClicked();
         }},
    };
    for (const Situation& situation : situations) {
        SCOPED_TRACE(situation.name);
        SharedDesktop desktop;
        UncountedSends runtime;
        PanelCopy copy(desktop, runtime, 100);
        situation.reach(copy);
        ASSERT_FALSE(runtime.calls.empty());
        ASSERT_EQ(runtime.calls.back().function, "send_video") << "a composition ends in a send";
        const void* composed = runtime.calls.back().frameData;
        const NDIlib_video_frame_v2_t described = runtime.lastSentFrame;
        const size_t pixels = static_cast<size_t>(described.xres) * described.yres;

        // A re-send that copied any surface (the programme among them) out
        // again would carry this; one that copied into the spare buffer
        // would change it.
        copy.surfaceBlocks.FillLive(0x5a5a5a5au);
        const CNdiSender& sender = copy.output.Sender();
        const auto* spare =
            reinterpret_cast<const uint32_t*>(sender.Frame(1 - sender.CurrentFrame())->p_data);
        const std::vector<uint32_t> spareBefore(spare, spare + pixels);
        const size_t callsBefore = runtime.calls.size();
        const int sendsBefore = runtime.sendsWithFrame;

        HeapCounts counts;
        {
            HeapCounter counter;
            for (int tick = 0; tick < kTicks; ++tick) {
                copy.panel.OnTimer(kTimerResend);
            }
            counts = counter.Counts();
        }

        EXPECT_EQ(counts.allocations, 0);
        EXPECT_EQ(counts.releases, 0);
        ASSERT_EQ(runtime.sendsWithFrame, sendsBefore + kTicks) << "every tick re-sends";
        for (size_t i = callsBefore; i < runtime.calls.size(); ++i) {
            EXPECT_EQ(runtime.calls[i].frameData, composed) << "re-send " << i - callsBefore;
        }
        const NDIlib_video_frame_v2_t& resent = runtime.lastSentFrame;
        EXPECT_EQ(resent.xres, described.xres);
        EXPECT_EQ(resent.yres, described.yres);
        EXPECT_EQ(resent.FourCC, described.FourCC);
        EXPECT_EQ(resent.line_stride_in_bytes, described.line_stride_in_bytes);
        runtime.CheckLastSentBufferUntouched();
        EXPECT_TRUE(std::equal(spareBefore.begin(), spareBefore.end(), spare))
            << "the spare buffer was written";
    }
}

}  // namespace
}  // namespace cuewire
