#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "link/LinkCodes.h"
#include "tests/panel/PanelRig.h"
#include "video/PixelFormat.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;

class PanelStartupTest : public ::testing::Test {
  protected:
    PanelCopy& NewCopy() {
        // Process ids are not reused while the test runs: copies answer a
        // process once in a quiet period.
        copies.push_back(std::make_unique<PanelCopy>(desktop, runtime, 100 + made++));
        return *copies.back();
    }

    SharedDesktop desktop;
    FakeNdiRuntime runtime;
    std::vector<std::unique_ptr<PanelCopy>> copies;
    uint32_t made = 0;
};

TEST_F(PanelStartupTest, FirstCopyTakesNumberOneAndPublishesTheStartupFrame) {
    PanelCopy& copy = NewCopy();
    copy.Start();
    EXPECT_EQ(copy.window.timers, (std::map<int, int>{{kTimerNumbering, 2500}}));
    EXPECT_EQ(runtime.Count("send_create"), 0) << "no sender before the copy has a number";
    EXPECT_EQ(copy.panel.Version(), u"1.0.0.6");
    EXPECT_TRUE(copy.window.menuChecks[IDM_ALWAYS_ON_TOP]);
    EXPECT_TRUE(copy.window.controls.m_bAlpha);

    copy.Fire(kTimerNumbering);
    EXPECT_EQ(copy.panel.Instance(), 0);
    EXPECT_EQ(copy.window.title, u"Bryvo Cuewire for NDI\u00AE - No 1");
    EXPECT_TRUE(copy.window.topmost);
    EXPECT_EQ(copy.window.timers,
              (std::map<int, int>{{kTimerResend, 1000}, {kTimerStartupEnd, 12000}}));
    EXPECT_FALSE(copy.window.disabled.count(IDC_ALPHA));
    EXPECT_TRUE(copy.window.disabled.count(IDC_ENTRY)) << "typing waits for the start-up period";
    EXPECT_EQ(copy.window.controlTexts[IDC_MODE_LABEL], u"1280 x 720 - 25.00 fps");
    // The sender is made once, by the mode the step applies, after the
    // start-up frame is composed; it announces the product and sends the frame.
    EXPECT_EQ(runtime.FunctionNames(),
              (std::vector<std::string>{"initialize", "send_create", "send_add_connection_metadata",
                                        "send_video"}));
    EXPECT_EQ(runtime.calls[1].senderName, "Bryvo Cuewire 1");
    EXPECT_EQ(runtime.calls[2].metadata, CNdiSender::kProductMetadata);
    EXPECT_EQ(runtime.calls[3].frameData, copy.output.CurrentFrame()->p_data);
    EXPECT_EQ(runtime.liveSenders, 1);
    EXPECT_EQ(copy.OutputPixel(280, 222), 0x80808080u) << "the splash, centred";
    EXPECT_EQ(runtime.lastSentFrame.xres, 1280);
    EXPECT_EQ(runtime.lastSentFrame.FourCC, kFourCcBgra);

    const int sends = runtime.sendsWithFrame;
    copy.Fire(kTimerResend);
    copy.Fire(kTimerResend);
    EXPECT_EQ(runtime.sendsWithFrame, sends + 2);
    EXPECT_EQ(runtime.lastSentFrame.p_data, copy.output.CurrentFrame()->p_data);
}

TEST_F(PanelStartupTest, AModeChosenBeforeTheNumberingStepIsTheOneItsSenderStartsIn) {
    PanelCopy& copy = NewCopy();
    copy.Start();
    copy.window.controls.m_nResolution = 1;
    copy.panel.OnVideoModeClicked();
    EXPECT_EQ(runtime.Count("send_create"), 0) << "nothing published under a provisional number";
    copy.Fire(kTimerNumbering);
    EXPECT_EQ(runtime.FunctionNames(),
              (std::vector<std::string>{"initialize", "send_create", "send_add_connection_metadata",
                                        "send_video"}));
    EXPECT_EQ(runtime.lastSentFrame.xres, 1920);
    EXPECT_EQ(copy.panel.Mode().width, 1920);
}

TEST_F(PanelStartupTest, NewCopyTakesTheLowestFreeNumber) {
    // Copies numbered 1, 2 and 4 are running: the newcomer takes 3.
    for (int i = 0; i < 4; ++i) {
        NewCopy().StartAndNumber();
    }
    copies.erase(copies.begin() + 2);
    PanelCopy& newcomer = NewCopy();
    newcomer.StartAndNumber();
    EXPECT_EQ(newcomer.panel.Instance(), 2);
    EXPECT_EQ(newcomer.window.title, u"Bryvo Cuewire for NDI\u00AE - No 3");
    EXPECT_EQ(runtime.calls.back().function, "send_video");
}

TEST_F(PanelStartupTest, NinthCopyOffersToExitAndStaysUnnumberedWhenDeclined) {
    for (int i = 0; i < 8; ++i) {
        NewCopy().StartAndNumber();
        ASSERT_EQ(copies.back()->panel.Instance(), i);
    }
    PanelCopy& declined = NewCopy();
    declined.window.answers = {MessageBoxAnswer::kCancel};
    const int creates = runtime.Count("send_create");
    const int sends = runtime.sendsWithFrame;
    declined.StartAndNumber();
    EXPECT_EQ(declined.window.messages.back(), u"OK to exit?|Quit Cuewire");
    EXPECT_EQ(declined.window.title, u"NDI Cuewire");
    EXPECT_EQ(declined.panel.Instance(), 0);
    EXPECT_EQ(runtime.Count("send_create"), creates);
    EXPECT_EQ(declined.window.timers, (std::map<int, int>{{kTimerResend, 1000}}));
    EXPECT_TRUE(declined.window.disabled.count(IDC_ALPHA));
    declined.Fire(kTimerResend);
    EXPECT_EQ(runtime.sendsWithFrame, sends) << "an unnumbered copy sends nothing";
    EXPECT_EQ(declined.window.endResult, -1);

    PanelCopy& accepted = NewCopy();
    accepted.window.answers = {MessageBoxAnswer::kOk};
    accepted.StartAndNumber();
    EXPECT_EQ(accepted.window.endResult, CPanel::kEndResultCancel);
    EXPECT_TRUE(accepted.panel.HasEnded());
}

TEST(PanelNinthCopy, AsksOnceWhileTheNumberingTimerTicksOnDuringTheQuestion) {
    for (MessageBoxAnswer answer : {MessageBoxAnswer::kCancel, MessageBoxAnswer::kOk}) {
        SharedDesktop desktop;
        FakeNdiRuntime runtime;
        PanelCopy ninth(desktop, runtime, 9);
        ninth.window.answers = {answer};
        ninth.Start();
        // Eight copies hold the numbers and answer.
        for (int32_t number = 0; number < CDiscovery::kMaxCopies; ++number) {
            desktop.claims.HoldElsewhere(number);
            ninth.panel.OnLinkMessage(kLinkNumberReply, number);
        }
        // The box's loop delivers the ticks that fall due while nobody answers.
        int ticks = 0;
        ninth.window.whileAsking = [&ninth, &ticks] {
            while (ticks < 3 && ninth.window.TimerRunning(kTimerNumbering)) {
                ++ticks;
                ninth.Fire(kTimerNumbering);
            }
        };
        ninth.Fire(kTimerNumbering);
        EXPECT_EQ(ninth.window.messages, std::vector<std::u16string>{u"OK to exit?|Quit Cuewire"});
        EXPECT_EQ(ninth.panel.HasEnded(), answer == MessageBoxAnswer::kOk);
        EXPECT_EQ(runtime.Count("send_create"), 0);
        if (answer == MessageBoxAnswer::kCancel) {
            EXPECT_FALSE(ninth.window.TimerRunning(kTimerNumbering));
        }
    }
}

TEST(PanelCrossingCopies, CopiesWhoseRequestsCrossTakeOneTwoThree) {
    // Each step: a copy (by index) starts, or its numbering timer fires.
    struct Step {
        bool start;
        int copy;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"all ask, then number in order",
         {{true, 0}, {true, 1}, {true, 2}, {false, 0}, {false, 1}, {false, 2}}},
        {"all ask, then number last first",
         {{true, 0}, {true, 1}, {true, 2}, {false, 2}, {false, 1}, {false, 0}}},
        {"the third asks once the first has its number",
         {{true, 0}, {true, 1}, {false, 0}, {true, 2}, {false, 1}, {false, 2}}},
    };
    for (const Case& c : cases) {
        SharedDesktop desktop;
        FakeNdiRuntime runtime;
        std::vector<std::unique_ptr<PanelCopy>> copies;
        for (uint32_t i = 0; i < 3; ++i) {
            copies.push_back(std::make_unique<PanelCopy>(desktop, runtime, 300 + i));
        }
        std::vector<int> numberedInOrder;
        for (const Step& step : c.steps) {
            PanelCopy& copy = *copies[static_cast<size_t>(step.copy)];
            if (step.start) {
                copy.Start();
            } else {
                copy.Fire(kTimerNumbering);
                numberedInOrder.push_back(copy.panel.Instance());
            }
        }
        EXPECT_EQ(numberedInOrder, (std::vector<int>{0, 1, 2})) << c.name;
        std::multiset<std::string> sources;
        for (const NdiCall& call : runtime.calls) {
            if (call.function == "send_create") {
                sources.insert(call.senderName);
            }
        }
        EXPECT_EQ(sources, (std::multiset<std::string>{"Bryvo Cuewire 1", "Bryvo Cuewire 2",
                                                       "Bryvo Cuewire 3"}))
            << c.name << ": each copy its own source, created once";

        // A copy started later hears the three and takes the next number.
        PanelCopy fourth(desktop, runtime, 400);
        fourth.StartAndNumber();
        EXPECT_EQ(fourth.panel.Instance(), 3) << c.name;
    }
}

TEST_F(PanelStartupTest, ACopyStillDiscoveringAnswersNothing) {
    PanelCopy& first = NewCopy();
    PanelCopy& second = NewCopy();
    first.Start();
    second.Start();
    for (const LinkMessage& message : desktop.log) {
        EXPECT_NE(message.code, kLinkNumberReply) << "a copy without a number replied";
    }
    first.Fire(kTimerNumbering);
    desktop.log.clear();
    PanelCopy& third = NewCopy();
    third.Start();
    EXPECT_EQ(desktop.log,
              (std::vector<LinkMessage>{{kLinkDiscoveryRequest, 102}, {kLinkNumberReply, 0}}))
        << "only the numbered copy answers";
}

TEST_F(PanelStartupTest, AnInertCopyAndAnUnnumberedNinthHideNoNumber) {
    // An inert copy sits on the desktop from the start.
    PanelCopy& inert = NewCopy();
    runtime.initializeResult = false;
    EXPECT_FALSE(inert.panel.OnInitDialog());
    runtime.initializeResult = true;

    for (int i = 0; i < 8; ++i) {
        NewCopy().StartAndNumber();
        ASSERT_EQ(copies.back()->panel.Instance(), i) << "the inert copy answered";
    }
    PanelCopy& ninth = NewCopy();
    ninth.window.answers = {MessageBoxAnswer::kCancel};
    ninth.StartAndNumber();
    ASSERT_EQ(ninth.window.title, u"NDI Cuewire");

    // Copy No 1 leaves; the next copy to start takes its number.
    copies.erase(copies.begin() + 1);
    desktop.log.clear();
    PanelCopy& newcomer = NewCopy();
    newcomer.StartAndNumber();
    EXPECT_EQ(newcomer.panel.Instance(), 0);
    EXPECT_EQ(newcomer.window.title, u"Bryvo Cuewire for NDI\u00AE - No 1");
    EXPECT_TRUE(newcomer.window.messages.empty()) << "no question for a copy with a number free";
    int replies = 0;
    for (const LinkMessage& message : desktop.log) {
        replies += message.code == kLinkNumberReply ? 1 : 0;
    }
    EXPECT_EQ(replies, 7) << "the seven numbered copies answer, the inert and the ninth do not";
}

TEST_F(PanelStartupTest, ANumberHeldElsewhereCountsAsTaken) {
    desktop.claims.HoldElsewhere(0);
    desktop.claims.HoldElsewhere(2);
    PanelCopy& first = NewCopy();
    first.StartAndNumber();
    EXPECT_EQ(first.window.title, u"Bryvo Cuewire for NDI\u00AE - No 2");
    PanelCopy& second = NewCopy();
    second.StartAndNumber();
    EXPECT_EQ(second.window.title, u"Bryvo Cuewire for NDI\u00AE - No 4");

    for (int32_t number = 4; number < CDiscovery::kMaxCopies; ++number) {
        desktop.claims.HoldElsewhere(number);
    }
    PanelCopy& last = NewCopy();
    last.window.answers = {MessageBoxAnswer::kCancel};
    last.StartAndNumber();
    EXPECT_EQ(last.window.messages,
              std::vector<std::u16string>{
                  u"No copy number is free.\n"
                  u"Copies on this desktop answered for: 2, 4\n"
                  u"No copy answered for: 1, 3, 5, 6, 7, 8 (held by a copy still starting, a "
                  u"copy in another session, or another program)\n\n"
                  u"OK to exit?|Quit Cuewire"})
        << "no number left to claim, and the question says what holds them";
    EXPECT_EQ(last.window.title, u"NDI Cuewire");
}

TEST_F(PanelStartupTest, OnlyACopyThatTookNumberOneSpeaksOnTheLink) {
    auto linkTraffic = [this] {
        std::vector<LinkMessage> traffic;
        for (const LinkMessage& m : desktop.log) {
            if (m.code >= kLinkTextBegin) {
                traffic.push_back(m);
            }
        }
        return traffic;
    };
    auto tickLinkAndCompose = [](PanelCopy& copy) {
        copy.window.controls.m_bLink = true;
        copy.panel.OnLinkTickClicked();
        copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Hi");  // as another program could set it
        copy.Key(kVirtualKeyF3);
        copy.window.controls.m_nResolution = 1;
        copy.panel.OnVideoModeClicked();
        copy.Key(kVirtualKeyEscape);
    };

    // Before its numbering step, the copy that will be No 1 composes in silence.
    PanelCopy& first = NewCopy();
    first.Start();
    tickLinkAndCompose(first);
    EXPECT_EQ(first.canvas.texts.back(), u"Hi") << "the compositions did run";
    EXPECT_TRUE(linkTraffic().empty()) << "no number yet, no link";

    // Eight numbered copies, and a ninth left open without a number.
    first.Fire(kTimerNumbering);
    first.Fire(kTimerStartupEnd);
    for (int i = 1; i < 8; ++i) {
        NewCopy().StartAndNumber();
    }
    PanelCopy& ninth = NewCopy();
    ninth.window.answers = {MessageBoxAnswer::kCancel};
    ninth.StartAndNumber();
    ASSERT_EQ(ninth.window.title, u"NDI Cuewire");
    desktop.log.clear();
    tickLinkAndCompose(ninth);
    EXPECT_EQ(ninth.canvas.texts.back(), u"Hi");
    EXPECT_TRUE(linkTraffic().empty()) << "the unnumbered ninth spoke for No 1";

    // No 1 itself still speaks.
    first.Key(kVirtualKeyF3);
    EXPECT_EQ(linkTraffic(),
              (std::vector<LinkMessage>{{8, kLinkMarker}, {9, 'H'}, {9, 'i'}, {10, kLinkMarker}}));
}

TEST_F(PanelStartupTest, ConfirmedExitFlushesFreesAndDestroysInOrder) {
    PanelCopy& copy = NewCopy();
    runtime.framesAllocatedProbe = [](const void* output) {
        return static_cast<const COutput*>(output)->Sender().FramesAllocated();
    };
    runtime.probeContext = &copy.output;
    copy.StartAndNumber();
    copy.window.answers = {MessageBoxAnswer::kCancel, MessageBoxAnswer::kOk};
    copy.panel.ExitCommand();
    EXPECT_EQ(copy.window.endResult, -1) << "anything but OK keeps the panel";
    runtime.calls.clear();
    copy.panel.ExitCommand();
    EXPECT_EQ(runtime.FunctionNames(),
              (std::vector<std::string>{"send_video(null)", "send_destroy", "destroy"}));
    EXPECT_TRUE(runtime.calls[0].framesAllocated);
    EXPECT_FALSE(runtime.calls[1].framesAllocated);
    EXPECT_EQ(copy.window.endResult, CPanel::kEndResultCancel);
    copy.panel.OnTimer(kTimerResend);  // a tick already queued does nothing
    EXPECT_EQ(runtime.calls.size(), 3u);
}

TEST(PanelSessionEnd, RunsTheExitTeardownOnceWithoutAsking) {
    // The session may also end while the operator is being asked "OK to exit?";
    // the OK that follows must not release anything a second time.
    for (const bool duringQuestion : {false, true}) {
        SharedDesktop desktop;
        FakeNdiRuntime runtime;
        PanelCopy copy(desktop, runtime, 7);
        copy.StartAndRun();
        runtime.calls.clear();
        if (duringQuestion) {
            copy.window.whileAsking = [&copy] { copy.panel.OnSessionEnding(); };
            copy.panel.ExitCommand();
        } else {
            copy.panel.OnSessionEnding();
        }
        copy.panel.OnSessionEnding();  // a second notice changes nothing
        EXPECT_EQ(runtime.FunctionNames(),
                  (std::vector<std::string>{"send_video(null)", "send_destroy", "destroy"}))
            << duringQuestion;
        EXPECT_EQ(copy.window.messages.size(), duringQuestion ? 1u : 0u);
        EXPECT_EQ(copy.window.endResult, CPanel::kEndResultCancel);
        EXPECT_EQ(copy.frameBuffers.live, 0) << duringQuestion;
        copy.panel.OnTimer(kTimerResend);
        EXPECT_EQ(runtime.calls.size(), 3u) << "nothing goes out after the teardown";
    }
}

TEST(PanelSessionEnd, AnInertPanelShutsDownNoRuntimeThatNeverStarted) {
    SharedDesktop desktop;
    FakeNdiRuntime runtime;
    runtime.initializeResult = false;
    PanelCopy copy(desktop, runtime, 7);
    EXPECT_FALSE(copy.panel.OnInitDialog());
    copy.panel.OnSessionEnding();
    EXPECT_EQ(runtime.FunctionNames(), std::vector<std::string>{"initialize"});
    EXPECT_EQ(copy.window.endResult, CPanel::kEndResultCancel);
}

TEST_F(PanelStartupTest, StartupPeriodEndsWithEditsUsableAndShowsATextChosenMeanwhile) {
    PanelCopy& copy = NewCopy();
    copy.StartAndNumber();
    copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Early");
    copy.Key(kVirtualKeyF3);
    EXPECT_EQ(copy.OutputPixel(640, 611), 0u) << "not before the period ends";
    copy.Fire(kTimerStartupEnd);
    EXPECT_EQ(copy.OutputPixel(640, 611), 0xffffffffu);
    EXPECT_EQ(copy.window.timers, (std::map<int, int>{{kTimerResend, 1000}}));
    EXPECT_TRUE(copy.window.disabled.empty());
    EXPECT_EQ(copy.window.focus, IDC_ENTRY);
}

TEST_F(PanelStartupTest, TheStartupFrameStaysTheSameHoweverManyCompositionsMakeIt) {
    PanelCopy& copy = NewCopy();
    copy.StartAndNumber();
    const auto frame = [&copy] {
        const auto* pixels = reinterpret_cast<const uint32_t*>(copy.output.CurrentFrame()->p_data);
        return std::vector<uint32_t>(pixels, pixels + 1280 * 720);
    };
    const std::vector<uint32_t> first = frame();
    copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Early");
    for (int key : {kVirtualKeyEscape, kVirtualKeyEscape, kVirtualKeyF3}) {
        copy.Key(key);
        ASSERT_TRUE(frame() == first) << "the start-up frame changed after key " << key;
    }
    EXPECT_EQ(copy.OutputPixel(280, 222), 0x80808080u) << "the half-transparent banner, once";
}

// Escape, or Return on the empty entry line, takes the text off; during the
// start-up period that includes the one waiting for its end.
TEST_F(PanelStartupTest, TakingTheTextOffDuringTheStartupPeriodDropsThePendingText) {
    for (int key : {kVirtualKeyEscape, kVirtualKeyReturn}) {
        PanelCopy& copy = NewCopy();
        copy.StartAndNumber();
        copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Early");
        copy.Key(kVirtualKeyF3);
        copy.Key(key);
        copy.Fire(kTimerStartupEnd);
        EXPECT_EQ(copy.OutputPixel(91, 552), 0u)
            << "no empty box when the period ends, key " << key;
        EXPECT_FALSE(copy.output.TextShown()) << key;
    }
}

TEST_F(PanelStartupTest, OtherTimersDoNothing) {
    PanelCopy& copy = NewCopy();
    copy.StartAndRun();
    const size_t calls = runtime.calls.size();
    for (int id : {0, 3, 4, 6, 9000}) {
        copy.panel.OnTimer(id);
    }
    EXPECT_EQ(runtime.calls.size(), calls);
}

TEST_F(PanelStartupTest, ARefusedSenderLeavesTheOutputComposedAndPreviewedUntilAModeChange) {
    runtime.createReturnsNull = true;
    PanelCopy& copy = NewCopy();
    copy.StartAndNumber();
    EXPECT_EQ(runtime.Count("send_create"), 1);
    EXPECT_EQ(copy.OutputPixel(280, 222), 0x80808080u) << "the start-up frame is composed";
    copy.Fire(kTimerResend);
    copy.Fire(kTimerStartupEnd);
    const int previewed = copy.preview.shows;
    copy.window.Type(IDC_ENTRY, u"Unsent");
    copy.Key(kVirtualKeyReturn);
    EXPECT_EQ(copy.canvas.texts.back(), u"Unsent");
    EXPECT_EQ(copy.preview.shows, previewed + 1) << "the text reaches the preview";
    EXPECT_EQ(runtime.Count("send_video"), 0);
    EXPECT_EQ(runtime.Count("send_add_connection_metadata"), 0);
    EXPECT_EQ(runtime.Count("send_destroy"), 0) << "no sender, nothing to destroy";

    // The runtime may come round: the next mode change asks again and sends.
    runtime.createReturnsNull = false;
    copy.window.controls.m_nResolution = 1;
    copy.panel.OnVideoModeClicked();
    EXPECT_EQ(runtime.Count("send_create"), 2);
    EXPECT_EQ(runtime.liveSenders, 1);
    EXPECT_EQ(runtime.sendsWithFrame, 1);
    EXPECT_EQ(runtime.lastSentFrame.xres, 1920);
    EXPECT_EQ(copy.OutputPixel(137, 828), kTextBoxBlack) << "the text, redrawn at the new size";
    copy.Fire(kTimerResend);
    EXPECT_EQ(runtime.sendsWithFrame, 2);
}

TEST(PanelInert, ANdiSideThatCannotStartLeavesAnInertPanelThatStillExits) {
    struct Case {
        const char* name;
        void (*spoil)(FakeNdiRuntime&, CountingFrameBuffers&);
        const char16_t* message;
        int expectedDestroys;
    } cases[] = {
        {"initialize fails",
         [](FakeNdiRuntime& r, CountingFrameBuffers&) { r.initializeResult = false; },
         u"Cannot run NDI.|Cuewire", 0},
        {"function missing",
         [](FakeNdiRuntime& r, CountingFrameBuffers&) { r.lacksAFunction = true; },
         u"Cannot run NDI.|Cuewire", 0},
        {"first frame buffer refused",
         [](FakeNdiRuntime&, CountingFrameBuffers& b) { b.failAt = 1; },
         u"NDI_frame creation problem|Cuewire", 1},
        {"second frame buffer refused",
         [](FakeNdiRuntime&, CountingFrameBuffers& b) { b.failAt = 2; },
         u"NDI_frame creation problem|Cuewire", 1},
    };
    for (const Case& c : cases) {
        SharedDesktop desktop;
        FakeNdiRuntime runtime;
        PanelCopy copy(desktop, runtime, 7);
        c.spoil(runtime, copy.frameBuffers);
        EXPECT_FALSE(copy.panel.OnInitDialog()) << c.name;
        EXPECT_EQ(copy.window.messages, std::vector<std::u16string>{c.message}) << c.name;
        EXPECT_TRUE(copy.window.timers.empty()) << c.name;
        EXPECT_TRUE(desktop.log.empty()) << "an inert copy asks nothing: " << c.name;
        copy.window.Type(IDC_SLOT_EDIT_FIRST, u"Nothing");
        copy.Key(kVirtualKeyF3);
        copy.panel.OnVideoModeClicked();
        EXPECT_EQ(runtime.Count("send_create"), 0) << c.name;
        copy.panel.ExitCommand();
        EXPECT_EQ(copy.window.endResult, CPanel::kEndResultCancel) << c.name;
        EXPECT_EQ(runtime.Count("destroy"), c.expectedDestroys) << c.name;
        EXPECT_EQ(copy.frameBuffers.live, 0) << "every buffer had is freed at exit: " << c.name;
    }
}

TEST(PanelSupportDialog, APanelWithoutItsSupportDialogEndsAsIfCancelledOnceInitialised) {
    SharedDesktop desktop;
    FakeNdiRuntime runtime;
    PanelCopy copy(desktop, runtime, 8);
    copy.window.supportCreates = false;
    EXPECT_TRUE(copy.panel.OnInitDialog()) << "the initialisation runs to its end";
    desktop.Pump();
    EXPECT_TRUE(copy.window.slotControlsInitialised);
    EXPECT_TRUE(copy.window.controls.m_bAlpha);
    EXPECT_EQ(desktop.log.size(), 1u) << "the discovery request still goes out";
    EXPECT_EQ(copy.window.endResult, CPanel::kEndResultCancel);
    EXPECT_TRUE(copy.panel.HasEnded());
    EXPECT_TRUE(copy.window.messages.empty()) << "nobody is asked anything";
    EXPECT_EQ(runtime.Count("destroy"), 1);
    EXPECT_EQ(copy.frameBuffers.live, 0);

    // Messages already queued change nothing.
    copy.panel.OnWindowShown();
    copy.panel.OnTimer(kTimerNumbering);
    EXPECT_EQ(copy.window.supportShown, 0);
    EXPECT_EQ(runtime.Count("send_create"), 0);
    EXPECT_EQ(copy.window.title, u"NDI Cuewire");
}

TEST(PanelLinkMessages, ForeignMessagesAndRepliesWithoutAClaimChangeNothing) {
    SharedDesktop desktop;
    FakeNdiRuntime runtime;
    PanelCopy copy(desktop, runtime, 55);
    copy.Start();
    desktop.log.clear();
    for (int i = 0; i < 5000; ++i) {
        copy.panel.OnLinkMessage(static_cast<uint64_t>(i % 13),
                                 (i % 2 ? -1 : 1) * int64_t{i} * 1000003);
    }
    copy.panel.OnLinkMessage(3, 0);
    copy.panel.OnLinkMessage(3, 1);
    EXPECT_TRUE(desktop.log.empty()) << "an unnumbered copy answers nothing";
    copy.Fire(kTimerNumbering);
    EXPECT_EQ(copy.panel.Instance(), 0);
    EXPECT_TRUE(copy.window.messages.empty());
}

}  // namespace
}  // namespace cuewire
