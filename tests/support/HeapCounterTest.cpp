#include "tests/support/HeapCounter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

namespace cuewire::testing {
namespace {

// Keeps the compiler from leaving out an allocation whose block nobody reads.
void Keep(void* block) {
    void* volatile kept = block;
    (void)kept;
}

struct alignas(64) WideBlock {
    char bytes[64];
};

struct Case {
    const char* name;
    void (*run)();
    long allocations;
    long releases;
    bool needsMalloc = false;
};

// A count of zero proves something only if the counter sees every kind of
// allocation a C++ path can make.
TEST(HeapCounter, SeesEveryWayOfTakingAndGivingBackABlock) {
    if (const char* why = HeapCounter::WhyNotCounting()) {
        GTEST_SKIP() << why;
    }
    const Case cases[] = {
        {"new, delete",
         [] {
             int* block = new int(7);
             Keep(block);
             delete block;
         },
         1, 1},
        {"new[], delete[]",
         [] {
             char* block = new char[300];
             Keep(block);
             delete[] block;
         },
         1, 1},
        {"nothrow new",
         [] {
             int* block = new (std::nothrow) int(7);
             Keep(block);
             delete block;
         },
         1, 1},
        {"over-aligned new",
         [] {
             WideBlock* block = new WideBlock{};
             Keep(block);
             delete block;
         },
         1, 1},
        {"a string past its inline buffer",
         [] {
             std::string text(100, 'x');
             Keep(text.data());
         },
         1, 1},
        {"malloc, realloc, free",
         [] {
             void* block = std::malloc(16);
             Keep(block);
             block = std::realloc(block, 1 << 20);  // moves: a new block, the old one freed
             Keep(block);
             std::free(block);
         },
         2, 2, true},
        {"calloc",
         [] {
             void* block = std::calloc(4, 8);
             Keep(block);
             std::free(block);
         },
         1, 1, true},
        {"paused",
         [] {
             HeapCountPause pause;
             int* block = new int(7);
             Keep(block);
             delete block;
         },
         0, 0},
    };
    for (const Case& c : cases) {
        if (c.needsMalloc && !HeapCounter::CountsMalloc()) {
            continue;
        }
        HeapCounter counter;
        c.run();
        EXPECT_EQ(counter.Counts().allocations, c.allocations) << c.name;
        EXPECT_EQ(counter.Counts().releases, c.releases) << c.name;
    }
}

}  // namespace
}  // namespace cuewire::testing
