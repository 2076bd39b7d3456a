#include "win32/HandlerBarrier.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/support/HeapCounter.h"

namespace cuewire {
namespace {

using cuewire::testing::HeapRefusal;

// What a message handler does that allocates: a copy of a text.
int CopyOfText(const std::u16string& text) {
    std::u16string copy = text;
    return static_cast<int>(copy.size());
}

TEST(HandlerBarrier, AFailedAllocationEndsAtTheBarrierAndIsReportedOnce) {
    if (const char* why = HeapRefusal::WhyNotRefusing()) {
        GTEST_SKIP() << why;
    }
    const std::u16string text(20000, u'w');
    CHandlerBarrier barrier;
    int results[3];
    long refused = 0;
    {
        HeapRefusal refusal(0);
        results[0] = barrier.Run([&] { return CopyOfText(text); }, -1);
        results[1] = barrier.Run([&] { return CopyOfText(text); }, -1);
        refused = refusal.Refused();
    }
    results[2] = barrier.Run([&] { return CopyOfText(text); }, -1);
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(results[0], -1);
    EXPECT_EQ(results[1], -1);
    EXPECT_EQ(results[2], 20000) << "with memory back, the same handler runs";
    EXPECT_EQ(barrier.Failures(), 2);
    EXPECT_EQ(barrier.TakeReport(), CHandlerBarrier::Failure::kOutOfMemory);
    EXPECT_EQ(barrier.TakeReport(), CHandlerBarrier::Failure::kNone) << "one report a process";
}

TEST(HandlerBarrier, ReportsTheFirstFailureOfAnyKindAndNothingWithoutOne) {
    CHandlerBarrier barrier;
    EXPECT_EQ(barrier.TakeReport(), CHandlerBarrier::Failure::kNone);
    EXPECT_EQ(barrier.Run([] { return 5; }, 0), 5);
    EXPECT_EQ(barrier.TakeReport(), CHandlerBarrier::Failure::kNone) << "a handler that works";
    EXPECT_EQ(barrier.Run([]() -> int { throw std::runtime_error("x"); }, 9), 9);
    EXPECT_EQ(barrier.Run([]() -> int { throw std::bad_alloc(); }, 9), 9);
    EXPECT_EQ(barrier.Run([]() -> int { throw 3; }, 9), 9) << "not only std::exception";
    EXPECT_EQ(barrier.Failures(), 3);
    EXPECT_EQ(barrier.TakeReport(), CHandlerBarrier::Failure::kOther);
    EXPECT_EQ(barrier.TakeReport(), CHandlerBarrier::Failure::kNone);
}

}  // namespace
}  // namespace cuewire
