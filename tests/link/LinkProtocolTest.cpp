#include "link/CopyDiscovery.h"
#include "link/LinkCodes.h"
#include "link/TextTransfer.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/fakes/LinkBus.h"
#include "tests/fakes/NumberClaims.h"

namespace cuewire {
namespace {

using testing::RecordingBus;
using Message = testing::LinkMessage;

TEST(LinkTransfer, SendsBeginOneMessagePerCodeUnitAndEnd) {
    RecordingBus bus;
    PostTextTransfer(bus, u"Hi");
    EXPECT_EQ(bus.messages,
              (std::vector<Message>{{8, kLinkMarker}, {9, 0x48}, {9, 0x69}, {10, kLinkMarker}}));
}

TEST(LinkTransfer, SendsSurrogatesAsTwoUnitsAndCountsCodeUnits) {
    RecordingBus bus;
    PostTextTransfer(bus, u"\U0001F3AC");  // clapper board, outside the basic plane
    EXPECT_EQ(bus.messages, (std::vector<Message>{
                                {8, kLinkMarker}, {9, 0xD83C}, {9, 0xDFAC}, {10, kLinkMarker}}));

    bus.messages.clear();
    PostTextTransfer(bus, std::u16string(37, u'x'));
    EXPECT_EQ(bus.messages.size(), 39u);

    bus.messages.clear();
    PostTextClear(bus);
    EXPECT_EQ(bus.messages, (std::vector<Message>{{11, 0}}));
}

TEST(Discovery, AnswersOthersButNotItselfAndRecordsOnlyValidNumbers) {
    RecordingBus bus;
    CDiscovery discovery;
    discovery.Start(bus, 4242);
    EXPECT_EQ(bus.messages, (std::vector<Message>{{2, 4242}}));
    bus.messages.clear();

    discovery.HandleMessage(bus, 2, 4242, 0, 0);  // our own request, come back
    // Values no process id can have come from no copy.
    for (int64_t value : {int64_t{-1}, int64_t{UINT32_MAX} + 1, INT64_MIN, INT64_MAX}) {
        discovery.HandleMessage(bus, 2, value, 0, 0);
    }
    EXPECT_TRUE(bus.messages.empty());
    discovery.HandleMessage(bus, 2, 99, 5, 0);
    discovery.HandleMessage(bus, 2, UINT32_MAX, 5, 0);
    EXPECT_EQ(bus.messages, (std::vector<Message>{{3, 5}, {3, 5}}));

    for (int64_t value : {int64_t{-1}, int64_t{32}, int64_t{40}, INT64_MIN, INT64_MAX}) {
        discovery.HandleMessage(bus, 3, value, 0, 0);
    }
    for (int64_t code : {0, 1, 4, 8, 9, 10, 11, 0x7fffffff}) {
        discovery.HandleMessage(bus, static_cast<uint64_t>(code), 1, 0, 0);
    }
    for (int number = 0; number < CDiscovery::kTableSize; ++number) {
        EXPECT_FALSE(discovery.IsTaken(number)) << number;
    }

    discovery.HandleMessage(bus, 3, 31, 0, 0);
    EXPECT_TRUE(discovery.IsTaken(31));
}

TEST(Discovery, ACopyThatHoldsNoNumberAnswersNothingButStillRecordsReplies) {
    RecordingBus bus;
    CDiscovery discovery;
    discovery.Start(bus, 4242);
    bus.messages.clear();
    discovery.HandleMessage(bus, 2, 99, std::nullopt, 0);
    discovery.HandleMessage(bus, 2, 4242, std::nullopt, 0);
    EXPECT_TRUE(bus.messages.empty());
    discovery.HandleMessage(bus, 3, 2, std::nullopt, 0);
    EXPECT_TRUE(discovery.IsTaken(2));
}

TEST(Discovery, ClaimsTheLowestNumberWhoseClaimIsFreeWhateverRepliesSay) {
    struct Case {
        const char* name;
        std::vector<int64_t> replies;
        std::vector<int32_t> heldElsewhere;
        int expected;
    } cases[] = {
        {"nobody else", {}, {}, 0},
        {"a gap", {0, 1, 3}, {0, 1, 3}, 2},
        {"forged replies for every number", {0, 1, 2, 3, 4, 5, 6, 7}, {}, 0},
        {"a forged reply for number 1", {0}, {}, 0},
        {"a forged reply beside real holders", {0, 1, 2}, {0, 2}, 1},
        {"a claim held without a reply", {}, {0}, 1},
        {"claims above the first", {}, {1, 2}, 0},
        {"all eight held", {0, 1, 2, 3}, {0, 1, 2, 3, 4, 5, 6, 7}, 8},
        {"the last one left", {}, {0, 1, 2, 3, 4, 5, 6}, 7},
    };
    for (const Case& c : cases) {
        RecordingBus bus;
        testing::ClaimTable table;
        for (int32_t number : c.heldElsewhere) {
            table.HoldElsewhere(number);
        }
        testing::TableClaims claims(table, 1);
        CDiscovery discovery;
        discovery.Start(bus, 1);
        for (int64_t reply : c.replies) {
            discovery.HandleMessage(bus, 3, reply, std::nullopt, 0);
        }
        EXPECT_EQ(discovery.ClaimFreeNumber(claims), c.expected) << c.name;
        if (c.expected < CDiscovery::kMaxCopies) {
            EXPECT_TRUE(table.IsHeld(c.expected)) << c.name;
        }
    }
}

TEST(Discovery, ClaimNamesAreMachineWideAndCarryTheLinkMessageAndTheNumberShown) {
    EXPECT_EQ(NumberClaimName(0), u"Global\\Bryvo-UK-NDI-Cuewire-1");
    EXPECT_EQ(NumberClaimName(7), u"Global\\Bryvo-UK-NDI-Cuewire-8");
}

// Requests from one process or many, at the given times (ms); which are answered.
TEST(ReplyThrottle, AnswersEachRequesterOncePerQuietPeriodAndNewOnesAtOnce) {
    struct Request {
        uint32_t requester;
        uint64_t at;
        bool answered;
    };
    struct Case {
        const char* name;
        std::vector<Request> requests;
    } cases[] = {
        {"a repeat within the period", {{7, 0, true}, {7, 1, false}, {7, 4999, false}}},
        {"a repeat once the period is over",
         {{7, 0, true}, {7, 4999, false}, {7, 5000, true}, {7, 9999, false}, {7, 10000, true}}},
        {"a new requester amid a repeating one",
         {{7, 0, true}, {7, 10, false}, {8, 11, true}, {7, 12, false}, {8, 13, false}}},
        {"a clock that starts high", {{7, 900000, true}, {7, 904999, false}, {8, 904999, true}}},
    };
    for (const Case& c : cases) {
        CReplyThrottle throttle;
        for (const Request& r : c.requests) {
            EXPECT_EQ(throttle.MayAnswer(r.requester, r.at), r.answered)
                << c.name << ": " << r.requester << " at " << r.at;
        }
    }
}

TEST(ReplyThrottle, AFloodOfInventedRequestersIsAnsweredATableAtATime) {
    CReplyThrottle throttle;
    constexpr size_t kTable = CReplyThrottle::kRecentRequesters;
    // A full table of requesters heard just now: the next new one waits.
    for (uint32_t i = 0; i < kTable; ++i) {
        ASSERT_TRUE(throttle.MayAnswer(1000 + i, i));
    }
    EXPECT_FALSE(throttle.MayAnswer(5000, kTable));
    // Once the oldest has been quiet for a period, a new one takes its place,
    // and the one it replaced counts as new again.
    EXPECT_TRUE(throttle.MayAnswer(5000, CReplyThrottle::kQuietMilliseconds));
    EXPECT_FALSE(throttle.MayAnswer(1001, CReplyThrottle::kQuietMilliseconds));
    EXPECT_TRUE(throttle.MayAnswer(1000, CReplyThrottle::kQuietMilliseconds + 1));
}

}  // namespace
}  // namespace cuewire
