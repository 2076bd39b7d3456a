// The output's own order: which runtime call comes when, which buffer a
// re-send hands over, and what the start-up period holds back.
#include "video/Output.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/fakes/FakeNdiRuntime.h"
#include "tests/fakes/FakePorts.h"
#include "tests/fakes/OutputRig.h"
#include "video/PixelFormat.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;

// Runs a step of the caller's inside each wait, as a timer message can arrive
// while the UI thread settles a composition.
class WaitWithInterruption final : public IWait {
  public:
    void Wait(int milliseconds) override {
        waits.push_back(milliseconds);
        if (during) {
            during();
        }
    }
    std::function<void()> during;
    std::vector<int> waits;
};

// Runs out of memory on the drawing chosen, as a text too long for the memory left would.
class ThrowingCanvas final : public ITextCanvas {
  public:
    CanvasResult DrawLine(std::u16string_view text, int cellHeight, int width, int height,
                          uint32_t* pixels) override {
        if (throwNext) {
            throwNext = false;
            throw std::bad_alloc();
        }
        return blocks.DrawLine(text, cellHeight, width, height, pixels);
    }
    bool throwNext = false;
    BlockTextCanvas blocks;
};

class OutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pictures.Add(IDB_SPLASH, 720, 276, 32, 0x80ffffff);
        pictures.Add(IDB_BACKGROUND, 480, 270, 32, 0x00203040);
        ASSERT_TRUE(rig.Start());
    }

    // The runtime calls since the last look, by name.
    std::vector<std::string> CallsSince(size_t& seen) {
        std::vector<std::string> names;
        for (; seen < runtime.calls.size(); ++seen) {
            names.push_back(runtime.calls[seen].function);
        }
        return names;
    }

    FakeNdiRuntime runtime;
    CountingFrameBuffers frameBuffers;
    ThrowingCanvas canvas;
    MemoryPictures pictures;
    WaitWithInterruption wait;
    RecordingFollower follower{&runtime.sendsWithFrame};
    COutputRig rig{{runtime, frameBuffers, canvas, pictures, &wait, &follower}};
    COutput& output = rig.output;
};

TEST_F(OutputTest, RuntimeCallsComeInTheOrderOfEachVerb) {
    using Names = std::vector<std::string>;
    size_t seen = 0;
    EXPECT_EQ(CallsSince(seen), Names{"initialize"});

    struct Step {
        const char* what;
        std::function<void()> run;
        Names calls;
    } steps[] = {
        {"a mode before the copy has a number publishes nothing",
         [&] { output.ApplyMode(ModeOf(1280, 720), {}, std::nullopt); },
         {}},
        {"the first numbered mode makes the sender before composing, and sends through it",
         [&] { output.ApplyMode(ModeOf(1280, 720), {}, 0); },
         {"send_create", "send_add_connection_metadata", "send_video"}},
        {"a text goes out in one send", [&] { rig.ShowText(u"On"); }, {"send_video"}},
        {"a later mode takes the source off while it composes, and brings it back with the frame",
         [&] { output.ApplyMode(ModeOf(1920, 1080), {}, 0); },
         {"send_destroy", "send_create", "send_add_connection_metadata", "send_video"}},
        {"a re-send", [&] { output.Resend(); }, {"send_video"}},
        {"the shut-down flushes, then lets the sender and the runtime go",
         [&] { output.ShutDown(); },
         {"send_video", "send_destroy", "destroy"}},
        {"after it, nothing reaches the runtime",
         [&] {
             output.Resend();
             rig.ShowText(u"Late");
         },
         {}},
    };
    for (const Step& step : steps) {
        step.run();
        EXPECT_EQ(CallsSince(seen), step.calls) << step.what;
    }
}

TEST_F(OutputTest, AModeChangeSendsTheFrameComposedAtTheNewSizeWithTheTextRedrawn) {
    rig.PublishAndRun(ModeOf(1280, 720));
    rig.ShowText(u"Kept");
    output.ApplyMode(ModeOf(1920, 1080, false), {u"Kept"}, 0);
    EXPECT_EQ(runtime.lastSentFrame.p_data, output.CurrentFrame()->p_data);
    EXPECT_EQ(runtime.lastSentFrame.xres, 1920);
    EXPECT_EQ(runtime.lastSentFrame.FourCC, kFourCcBgrx);
    EXPECT_EQ(canvas.blocks.texts.back(), u"Kept");
    EXPECT_EQ(canvas.blocks.cellHeights.back(), 126);
    EXPECT_TRUE(output.TextShown());
}

TEST_F(OutputTest, AReSendDuringACompositionHandsOverNothing) {
    rig.PublishAndRun(ModeOf(1280, 720));
    const void* sentBefore = runtime.lastSentFrame.p_data;
    int sendsDuring = -1;
    bool composingDuring = false;
    wait.during = [&] {
        composingDuring = output.Composing();
        const int sends = runtime.sendsWithFrame;
        output.Resend();
        sendsDuring = runtime.sendsWithFrame - sends;
    };
    rig.ShowText(u"Busy");
    wait.during = nullptr;
    EXPECT_TRUE(composingDuring);
    EXPECT_EQ(sendsDuring, 0) << "the buffer being filled must not go out";
    EXPECT_NE(runtime.lastSentFrame.p_data, sentBefore)
        << "the composition itself sent the other buffer";
    EXPECT_FALSE(output.Composing());
    runtime.CheckLastSentBufferUntouched();
}

TEST_F(OutputTest, ACompositionThatThrowsLeavesTheLastSentFrameAndTheReSendAsTheyWere) {
    rig.PublishAndRun(ModeOf(1280, 720));
    rig.ShowText(u"Before");
    const void* sent = runtime.lastSentFrame.p_data;
    const int sends = runtime.sendsWithFrame;
    const size_t followed = follower.events.size();

    canvas.throwNext = true;
    EXPECT_THROW(rig.ShowText(u"Too long for the memory left", true), std::bad_alloc);
    EXPECT_EQ(runtime.sendsWithFrame, sends) << "nothing half-written goes out";
    EXPECT_EQ(follower.events.size(), followed) << "the link hears nothing of it";
    EXPECT_FALSE(output.Composing());
    EXPECT_TRUE(output.TextShown()) << "the text sent before is still on the output";
    EXPECT_EQ(output.CurrentFrame()->p_data, sent);

    output.Resend();
    EXPECT_EQ(runtime.sendsWithFrame, sends + 1) << "the re-send is not shut out";
    EXPECT_EQ(runtime.lastSentFrame.p_data, sent) << "and hands over the frame sent last";

    rig.ShowText(u"After");
    EXPECT_NE(runtime.lastSentFrame.p_data, sent) << "the next composition takes the other buffer";
    runtime.CheckLastSentBufferUntouched();
}

TEST_F(OutputTest, TheStartupPeriodHoldsATextBackUntilItsEnd) {
    rig.Publish(ModeOf(1280, 720));
    EXPECT_TRUE(output.StartupArmed());
    wait.waits.clear();
    rig.ShowText(u"Waiting", true);
    EXPECT_EQ(wait.waits, (std::vector<int>{500, 500, 500})) << "a start-up frame settles longer";
    EXPECT_FALSE(output.TextShown());
    EXPECT_TRUE(output.TextQueued());
    EXPECT_TRUE(follower.events.empty()) << "the start-up frame tells the follower nothing";
    EXPECT_EQ(rig.Pixel(280, 222), 0x80808080u) << "the splash, not the text";

    const int sends = runtime.sendsWithFrame;
    output.EndStartupPeriod({u"Waiting", true});
    EXPECT_FALSE(output.StartupArmed());
    EXPECT_TRUE(output.TextShown());
    EXPECT_EQ(runtime.sendsWithFrame, sends + 1);
    ASSERT_EQ(follower.events.size(), 1u);
    EXPECT_EQ(follower.events[0].text, u"Waiting");
    EXPECT_EQ(follower.events[0].sendsBefore, sends) << "the follower hears before the frame goes";

    output.EndStartupPeriod({u"Waiting", true});
    EXPECT_EQ(runtime.sendsWithFrame, sends + 1) << "the period ends once";
}

TEST_F(OutputTest, AClearDuringTheStartupPeriodDropsTheTextThatWaited) {
    rig.Publish(ModeOf(1280, 720));
    rig.ShowText(u"Dropped");
    rig.Clear();
    output.EndStartupPeriod({});
    EXPECT_FALSE(output.TextShown());
    EXPECT_EQ(rig.Pixel(91, 552), 0u) << "no empty box either";
}

}  // namespace
}  // namespace cuewire
