#pragma once
// Counts the heap blocks taken and given back while a test measures, so that
// a test can show a path allocates nothing. Natively the test binary replaces
// the global operator new and delete (and, on glibc, malloc and its kin);
// under AddressSanitizer those stay the sanitizer's, so that its mismatch
// checks keep working, and its own allocation hooks do the counting instead.
// One counter at a time, on the test's thread.

namespace cuewire::testing {

struct HeapCounts {
    long allocations = 0;
    long releases = 0;
};

// Counts from construction until destruction.
class HeapCounter {
  public:
    HeapCounter();
    ~HeapCounter();
    HeapCounter(const HeapCounter&) = delete;
    HeapCounter& operator=(const HeapCounter&) = delete;

    HeapCounts Counts() const;

    // Whether plain C malloc is counted too, beside operator new.
    static bool CountsMalloc();
    // Null when counting works in this build, else why not: a test that
    // relies on a count must skip with this reason rather than pass on zero.
    static const char* WhyNotCounting();
};

// A failing allocator: while it lives, operator new refuses every request from
// the one numbered `from` on (0: the very first), the throwing forms with
// std::bad_alloc, the no-throw forms with null. Only where the test binary
// replaces operator new (not under AddressSanitizer): elsewhere a test must
// skip with WhyNotRefusing. One at a time, on the test's thread.
class HeapRefusal {
  public:
    explicit HeapRefusal(long from);
    ~HeapRefusal();
    HeapRefusal(const HeapRefusal&) = delete;
    HeapRefusal& operator=(const HeapRefusal&) = delete;

    // How many requests were refused so far.
    long Refused() const;
    static const char* WhyNotRefusing();
};

// Leaves out what happens while it lives, from the counts and from a refusal:
// for a fake's own bookkeeping, which is the test's, not the code's under
// measurement.
class HeapCountPause {
  public:
    HeapCountPause();
    ~HeapCountPause();
    HeapCountPause(const HeapCountPause&) = delete;
    HeapCountPause& operator=(const HeapCountPause&) = delete;

  private:
    bool m_bWasPaused;
};

}  // namespace cuewire::testing
