#include "link/LinkProtocol.h"

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

    discovery.HandleMessage(bus, 2, 4242, 0);  // our own request, come back
    EXPECT_TRUE(bus.messages.empty());
    discovery.HandleMessage(bus, 2, 99, 5);
    EXPECT_EQ(bus.messages, (std::vector<Message>{{3, 5}}));

    for (int64_t value : {int64_t{-1}, int64_t{32}, int64_t{40}, INT64_MIN, INT64_MAX}) {
        discovery.HandleMessage(bus, 3, value, 0);
    }
    for (int64_t code : {0, 1, 4, 8, 9, 10, 11, 0x7fffffff}) {
        discovery.HandleMessage(bus, static_cast<uint64_t>(code), 1, 0);
    }
    for (int number = 0; number < CDiscovery::kTableSize; ++number) {
        EXPECT_FALSE(discovery.IsTaken(number)) << number;
    }

    discovery.HandleMessage(bus, 3, 31, 0);
    EXPECT_TRUE(discovery.IsTaken(31));
}

TEST(Discovery, ACopyThatHoldsNoNumberAnswersNothingButStillRecordsReplies) {
    RecordingBus bus;
    CDiscovery discovery;
    discovery.Start(bus, 4242);
    bus.messages.clear();
    discovery.HandleMessage(bus, 2, 99, std::nullopt);
    discovery.HandleMessage(bus, 2, 4242, std::nullopt);
    EXPECT_TRUE(bus.messages.empty());
    discovery.HandleMessage(bus, 3, 2, std::nullopt);
    EXPECT_TRUE(discovery.IsTaken(2));
}

TEST(Discovery, ClaimsTheLowestNumberNoReplyMarksAndNoOtherCopyHolds) {
    struct Case {
        const char* name;
        std::vector<int64_t> replies;
        std::vector<int32_t> heldElsewhere;
        int expected;
        int expectedAttempts;  // a number a reply marks taken is never claimed
    } cases[] = {
        {"nobody else", {}, {}, 0, 1},
        {"a gap", {0, 1, 3}, {}, 2, 1},
        {"replies above the first", {1}, {}, 0, 1},
        {"all eight answered", {0, 1, 2, 3, 4, 5, 6, 7}, {}, 8, 0},
        {"a ninth reply does not matter", {0, 1, 2, 3, 4, 5, 6, 8}, {}, 7, 1},
        {"a claim that fails moves on", {}, {0}, 1, 2},
        {"replies and claims together", {0, 2}, {1, 3}, 4, 3},
        {"a claim failing past the replies", {0, 1, 2}, {3, 4, 5}, 6, 4},
        {"no claim succeeds", {}, {0, 1, 2, 3, 4, 5, 6, 7}, 8, 8},
        {"the last one left by claims", {0, 1, 2, 3}, {4, 5, 6}, 7, 4},
    };
    for (const Case& c : cases) {
        RecordingBus bus;
        testing::ClaimTable table;
        for (int32_t number : c.heldElsewhere) {
            table.HoldElsewhere(number);
        }
        testing::TableClaims claims(table);
        CDiscovery discovery;
        discovery.Start(bus, 1);
        for (int64_t reply : c.replies) {
            discovery.HandleMessage(bus, 3, reply, std::nullopt);
        }
        EXPECT_EQ(discovery.ClaimFreeNumber(claims), c.expected) << c.name;
        EXPECT_EQ(claims.attempts, c.expectedAttempts) << c.name;
        if (c.expected < CDiscovery::kMaxCopies) {
            EXPECT_TRUE(table.IsHeld(c.expected)) << c.name;
        }
    }
}

TEST(Discovery, ClaimNamesCarryTheLinkMessageAndTheNumberShown) {
    EXPECT_EQ(NumberClaimName(0), u"Local\\Bryvo-UK-NDI-Cuewire-1");
    EXPECT_EQ(NumberClaimName(7), u"Local\\Bryvo-UK-NDI-Cuewire-8");
}

}  // namespace
}  // namespace cuewire
