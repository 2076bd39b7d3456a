#include "link/LinkProtocol.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/fakes/LinkBus.h"

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
    EXPECT_EQ(discovery.FirstFreeNumber(), 0);
    for (int number = 0; number < CDiscovery::kTableSize; ++number) {
        EXPECT_FALSE(discovery.IsTaken(number)) << number;
    }

    discovery.HandleMessage(bus, 3, 31, 0);
    EXPECT_TRUE(discovery.IsTaken(31));
}

TEST(Discovery, FirstFreeNumberIsTheLowestGapOrEightWhenAllAreTaken) {
    struct Case {
        std::vector<int64_t> replies;
        int expected;
    } cases[] = {
        {{}, 0},
        {{0, 1, 3}, 2},
        {{1}, 0},
        {{0, 1, 2, 3, 4, 5, 6, 7}, 8},
        {{0, 1, 2, 3, 4, 5, 6, 8}, 7},
    };
    for (const Case& c : cases) {
        RecordingBus bus;
        CDiscovery discovery;
        discovery.Start(bus, 1);
        for (int64_t reply : c.replies) {
            discovery.HandleMessage(bus, 3, reply, 0);
        }
        EXPECT_EQ(discovery.FirstFreeNumber(), c.expected);
    }
}

}  // namespace
}  // namespace cuewire
