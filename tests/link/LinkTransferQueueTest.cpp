#include "link/LinkTransferQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/LinkCodes.h"
#include "tests/fakes/LinkBus.h"

namespace cuewire {
namespace {

using testing::RecordingBus;
using Message = testing::LinkMessage;

// What a listener reads from a transfer: the text, or "<clear>".
std::vector<std::u16string> Transfers(const std::vector<Message>& messages) {
    std::vector<std::u16string> transfers;
    std::u16string text;
    bool open = false;
    for (const Message& m : messages) {
        if (m.code == kLinkTextBegin) {
            EXPECT_FALSE(open) << "a transfer began inside another";
            open = true;
            text.clear();
        } else if (m.code == kLinkTextChar) {
            EXPECT_TRUE(open) << "a code unit outside a transfer";
            text += static_cast<char16_t>(m.value);
        } else if (m.code == kLinkTextEnd) {
            EXPECT_TRUE(open);
            open = false;
            transfers.push_back(text);
        } else if (m.code == kLinkTextClear) {
            EXPECT_FALSE(open) << "a clear inside a transfer";
            transfers.push_back(u"<clear>");
        }
    }
    EXPECT_FALSE(open) << "a transfer never ended";
    return transfers;
}

// Takes and posts whatever waits, as the posting thread does.
void PostWaiting(CLinkTransferQueue& queue, ILinkBus& bus) {
    LinkTransfer next;
    while (queue.TakeNext(next)) {
        PostLinkTransfer(bus, next);
    }
}

TEST(LinkTransferQueue, PostsWholeTransfersInTheOrderTheyWereHandedOver) {
    // Each step hands over a text (a clear when empty) or, with '>', lets the
    // poster take one transfer; what reaches the bus is checked at the end.
    struct Case {
        const char* name;
        std::vector<std::u16string> steps;
        std::vector<std::u16string> posted;
    } cases[] = {
        {"all handed over first", {u"A", u"", u"Bc"}, {u"A", u"<clear>", u"Bc"}},
        {"taken between hand-overs",
         {u"A", u">", u"", u"B", u">", u"C"},
         {u"A", u"<clear>", u"B", u"C"}},
        {"the same text twice", {u"A", u"A", u">", u""}, {u"A", u"A", u"<clear>"}},
        {"around the ring's end",
         {u"1", u"2", u"3",  u"4",  u"5",  u"6",  u"7",  u"8",  u"9",  u"10", u">",
          u">", u">", u"11", u"12", u"13", u"14", u"15", u"16", u"17", u"18"},
         {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10", u"11", u"12", u"13", u"14",
          u"15", u"16", u"17", u"18"}},
    };
    for (const Case& c : cases) {
        CLinkTransferQueue queue;
        RecordingBus bus;
        LinkTransfer next;
        for (const std::u16string& step : c.steps) {
            if (step == u">") {
                ASSERT_TRUE(queue.TakeNext(next)) << c.name;
                PostLinkTransfer(bus, next);
            } else {
                EXPECT_TRUE(step.empty() ? queue.PushClear() : queue.PushText(step)) << c.name;
            }
        }
        PostWaiting(queue, bus);
        EXPECT_EQ(Transfers(bus.messages), c.posted) << c.name;
        EXPECT_EQ(queue.Dropped(), 0u) << c.name;
    }
}

TEST(LinkTransferQueue, AFullQueueDropsTheOldestWaitingSoTheLastWordStands) {
    CLinkTransferQueue queue;
    const size_t capacity = CLinkTransferQueue::kCapacity;
    std::vector<std::u16string> handed;
    for (size_t i = 0; i < capacity; ++i) {
        handed.push_back(u"t" + std::u16string(1, static_cast<char16_t>(u'a' + i)));
        ASSERT_TRUE(queue.PushText(handed.back()));
    }
    EXPECT_FALSE(queue.PushClear());
    EXPECT_FALSE(queue.PushText(u"last"));
    EXPECT_EQ(queue.Dropped(), 2u);
    EXPECT_EQ(queue.Waiting(), capacity);

    RecordingBus bus;
    PostWaiting(queue, bus);
    std::vector<std::u16string> expected(handed.begin() + 2, handed.end());
    expected.push_back(u"<clear>");
    expected.push_back(u"last");
    EXPECT_EQ(Transfers(bus.messages), expected);
}

TEST(LinkTransferQueue, ALongTextGoesWholeAndDroppedWaitersLeaveNothingBehind) {
    CLinkTransferQueue queue;
    const std::u16string longText(20000, u'\u00e9');
    queue.PushText(longText);
    queue.PushText(u"dropped");
    queue.DropAll();
    LinkTransfer nothing;
    EXPECT_FALSE(queue.TakeNext(nothing));
    queue.PushText(longText);
    queue.PushClear();
    RecordingBus bus;
    PostWaiting(queue, bus);
    EXPECT_EQ(bus.messages.size(), 20000u + 3u);
    EXPECT_EQ(Transfers(bus.messages), (std::vector<std::u16string>{longText, u"<clear>"}));
}

}  // namespace
}  // namespace cuewire
