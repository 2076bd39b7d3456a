#include <gtest/gtest.h>

#include <string>

#include "win32/HandlerBarrier.h"
#include "tests/panel/PanelRig.h"
#include "tests/support/HeapCounter.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;

// The runtime is C and never throws: its recorder's bookkeeping is the test's.
class UnrefusedSends final : public FakeNdiRuntime {
  public:
    void SendVideoAsync(NDIlib_send_instance_t sender,
                        const NDIlib_video_frame_v2_t* frame) override {
        HeapCountPause pause;
        FakeNdiRuntime::SendVideoAsync(sender, frame);
    }
};

const void* LastSentBuffer(const FakeNdiRuntime& runtime) {
    for (auto call = runtime.calls.rbegin(); call != runtime.calls.rend(); ++call) {
        if (call->function == "send_video") {
            return call->frameData;
        }
    }
    return nullptr;
}

// A go-live of a long text, with the allocator refusing each of its requests
// in turn (the copy of the live text, the line drawn, the canvas's own...),
// through the barrier the window procedure runs it in. Whichever fails, the
// panel goes on: the re-send hands over the frame sent last, unchanged, and
// the next key works.
TEST(PanelAllocationFailure, AGoLiveThatRunsOutOfMemoryLeavesTheLastFrameOnTheOutput) {
    if (const char* why = HeapRefusal::WhyNotRefusing()) {
        GTEST_SKIP() << why;
    }
    const std::u16string longText(20000, u'w');
    long from = 0;
    for (;; ++from) {
        ASSERT_LT(from, 1000) << "a go-live that never stops asking for memory";
        SharedDesktop desktop;
        UnrefusedSends runtime;
        PanelCopy copy(desktop, runtime, 7);
        copy.StartAndRun();
        copy.window.Type(IDC_SLOT_EDIT_FIRST, u"On air");
        copy.window.Type(IDC_SLOT_EDIT_FIRST + 1, longText);
        copy.Key(kVirtualKeyF3);

        CHandlerBarrier barrier;
        long refused = 0;
        {
            HeapRefusal refusal(from);
            barrier.Run(
                [&] {
                    copy.panel.OnSlotKeyClicked(1);
                    return 0;
                },
                -1);
            refused = refusal.Refused();
        }
        if (refused == 0) {
            EXPECT_EQ(copy.canvas.texts.back(), longText) << "with enough memory it goes live";
            break;
        }
        EXPECT_EQ(barrier.Failures(), 1) << "refused from request " << from;
        const void* onAir = LastSentBuffer(runtime);
        copy.panel.OnTimer(kTimerResend);
        ASSERT_EQ(runtime.calls.back().function, "send_video") << "refused from " << from;
        EXPECT_EQ(runtime.calls.back().frameData, onAir) << "refused from " << from;
        runtime.CheckLastSentBufferUntouched();

        const int sendsBefore = runtime.sendsWithFrame;
        copy.Key(kVirtualKeyEscape);
        EXPECT_EQ(runtime.sendsWithFrame, sendsBefore + 1) << "refused from " << from;
        EXPECT_NE(LastSentBuffer(runtime), onAir) << "a new frame in the other buffer";
    }
    EXPECT_GT(from, 0) << "the go-live asked for no memory at all: nothing was shown";
}

}  // namespace
}  // namespace cuewire
