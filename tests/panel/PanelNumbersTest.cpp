// Whose word decides a copy's number: claims, not messages; what an exiting
// copy leaves; and what a flood of requests gets back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/LinkCodes.h"
#include "tests/panel/PanelRig.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;

constexpr char16_t kTitleNo[] = u"Bryvo Cuewire for NDI\u00AE - No ";

int RepliesIn(const std::vector<LinkMessage>& log, int64_t number = -1) {
    int replies = 0;
    for (const LinkMessage& m : log) {
        replies += m.code == kLinkNumberReply && (number < 0 || m.value == number) ? 1 : 0;
    }
    return replies;
}

TEST(PanelNumbers, ForgedRepliesLeaveALoneCopyNumberOne) {
    struct Case {
        const char* name;
        std::vector<int64_t> forged;
    } cases[] = {
        {"every number answered", {0, 1, 2, 3, 4, 5, 6, 7}},
        {"number 1 answered", {0}},
        {"answered again and again", {0, 0, 1, 0, 7, 7}},
    };
    for (const Case& c : cases) {
        SharedDesktop desktop;
        FakeNdiRuntime runtime;
        PanelCopy copy(desktop, runtime, 40);
        SharedDesktop::Bus forger(desktop);
        copy.Start();
        for (int64_t number : c.forged) {
            forger.Post(kLinkNumberReply, number);
        }
        desktop.Pump();
        copy.Fire(kTimerNumbering);
        EXPECT_EQ(copy.window.title, kTitleNo + std::u16string(u"1")) << c.name;
        EXPECT_TRUE(copy.window.messages.empty()) << "asked: " << c.name;
        EXPECT_EQ(runtime.Count("send_create"), 1) << c.name;
        EXPECT_EQ(runtime.calls[1].senderName, "Bryvo Cuewire 1") << c.name;
    }
}

TEST(PanelNumbers, TheQuestionSaysWhatHoldsTheNumbersWhenNoneCanBeClaimed) {
    const std::u16string kWhat =
        u" (held by a copy still starting, a copy in another session, or another program)\n\n";
    struct Case {
        const char* name;
        int copies;                   // numbered copies running, from No 1 up
        std::vector<int64_t> forged;  // replies beside the squatted claims
        std::u16string question;
    } cases[] = {
        {"eight copies", 8, {}, u"OK to exit?"},
        {"every claim squatted",
         0,
         {},
         u"No copy number is free.\nCopies on this desktop answered for: -\n"
         u"No copy answered for: 1, 2, 3, 4, 5, 6, 7, 8" +
             kWhat + u"OK to exit?"},
        {"five copies and three squatted",
         5,
         {},
         u"No copy number is free.\nCopies on this desktop answered for: 1, 2, 3, 4, 5\n"
         u"No copy answered for: 6, 7, 8" +
             kWhat + u"OK to exit?"},
        // A squatter that also forges the replies passes for copies: the claim
        // name alone cannot tell them apart.
        {"squatted and answered for", 6, {6, 7}, u"OK to exit?"},
    };
    for (const Case& c : cases) {
        SharedDesktop desktop;
        FakeNdiRuntime runtime;
        std::vector<std::unique_ptr<PanelCopy>> copies;
        for (int i = 0; i < c.copies; ++i) {
            copies.push_back(std::make_unique<PanelCopy>(desktop, runtime, 50 + i));
            copies.back()->StartAndNumber();
            ASSERT_EQ(copies.back()->panel.Instance(), i) << c.name;
        }
        for (int32_t number = c.copies; number < CDiscovery::kMaxCopies; ++number) {
            desktop.claims.HoldElsewhere(number);
        }
        PanelCopy last(desktop, runtime, 99);
        last.window.answers = {MessageBoxAnswer::kCancel};
        last.Start();
        SharedDesktop::Bus forger(desktop);
        for (int64_t number : c.forged) {
            forger.Post(kLinkNumberReply, number);
        }
        desktop.Pump();
        last.Fire(kTimerNumbering);
        EXPECT_EQ(last.window.messages, std::vector<std::u16string>{c.question + u"|Quit Cuewire"})
            << c.name;
        EXPECT_EQ(last.window.title, u"NDI Cuewire") << c.name;
    }
}

TEST(PanelNumbers, CopiesInTwoSessionsOfOneMachineNeverShareANumber) {
    ClaimTable machine;
    SharedDesktop console(machine, 1);
    SharedDesktop remote(machine, 2);
    FakeNdiRuntime runtime;
    PanelCopy first(console, runtime, 10);
    PanelCopy second(remote, runtime, 10);  // process ids repeat across sessions too
    PanelCopy third(console, runtime, 11);
    first.StartAndNumber();
    second.StartAndNumber();
    third.StartAndNumber();
    EXPECT_EQ(first.window.title, kTitleNo + std::u16string(u"1"));
    EXPECT_EQ(second.window.title, kTitleNo + std::u16string(u"2"))
        << "no reply crosses the sessions; the claim does";
    EXPECT_EQ(third.window.title, kTitleNo + std::u16string(u"3"));
    EXPECT_EQ(RepliesIn(remote.log), 0);
}

TEST(PanelNumbers, AnExitingCopyLetsItsNumberGoWhileItsProcessLivesOn) {
    SharedDesktop desktop;
    FakeNdiRuntime runtime;
    std::vector<std::unique_ptr<PanelCopy>> copies;
    for (uint32_t i = 0; i < 3; ++i) {
        copies.push_back(std::make_unique<PanelCopy>(desktop, runtime, 60 + i));
        copies.back()->StartAndNumber();
    }
    PanelCopy& leaving = *copies[1];
    leaving.window.answers = {MessageBoxAnswer::kOk};
    leaving.panel.ExitCommand();
    ASSERT_TRUE(leaving.panel.HasEnded());
    EXPECT_EQ(runtime.Count("destroy"), 1) << "the NDI side went first";

    // Its window still reads the link while the process ends.
    desktop.log.clear();
    PanelCopy newcomer(desktop, runtime, 70);
    newcomer.StartAndNumber();
    EXPECT_EQ(newcomer.window.title, kTitleNo + std::u16string(u"2"));
    EXPECT_EQ(RepliesIn(desktop.log, 1), 0) << "the leaving copy answered with its old number";
    EXPECT_EQ(RepliesIn(desktop.log), 2);
}

TEST(PanelNumbers, AFloodOfRequestsGetsATrickleOfRepliesAndANewCopyIsAnsweredAtOnce) {
    constexpr int kRequests = 100000;
    constexpr uint64_t kEveryMs = 1;
    struct Case {
        const char* name;
        uint32_t (*requester)(int i);
        int mostReplies;
        int fewestReplies;
        uint64_t newcomerAfterMs;  // from the flood's last request
    } cases[] = {
        // One requester, every millisecond for 100 s: once per quiet period.
        {"one process asking", [](int) { return 4321u; }, 20, 20, 0},
        // Invented process ids, each new: a table's worth per quiet period.
        {"a new process id each time", [](int i) { return 100000u + static_cast<uint32_t>(i); },
         static_cast<int>(CReplyThrottle::kRecentRequesters) * 21,
         static_cast<int>(CReplyThrottle::kRecentRequesters) * 20,
         // Until the table's oldest entry falls quiet, nobody new is answered.
         CReplyThrottle::kQuietMilliseconds},
    };
    for (const Case& c : cases) {
        SharedDesktop desktop;
        FakeNdiRuntime runtime;
        PanelCopy first(desktop, runtime, 1);
        first.StartAndNumber();
        desktop.log.clear();
        SharedDesktop::Bus forger(desktop);
        for (int i = 0; i < kRequests; ++i) {
            forger.Post(kLinkDiscoveryRequest, c.requester(i));
            desktop.Pump();
            first.window.nowMs += kEveryMs;
        }
        const int replies = RepliesIn(desktop.log);
        EXPECT_LE(replies, c.mostReplies) << c.name;
        EXPECT_GE(replies, c.fewestReplies) << c.name;

        // A copy that starts now is answered with its first request.
        first.window.nowMs += c.newcomerAfterMs;
        desktop.log.clear();
        PanelCopy newcomer(desktop, runtime, 2);
        newcomer.Start();
        EXPECT_EQ(RepliesIn(desktop.log, 0), 1) << c.name;
        newcomer.Fire(kTimerNumbering);
        EXPECT_EQ(newcomer.panel.Instance(), 1) << c.name;
    }
}

}  // namespace
}  // namespace cuewire
