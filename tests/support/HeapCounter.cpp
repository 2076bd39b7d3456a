#include "tests/support/HeapCounter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define CUEWIRE_HEAP_COUNT_BY_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CUEWIRE_HEAP_COUNT_BY_SANITIZER 1
#endif
#endif

namespace {

// Replacement allocation functions are global by nature, and so is what they
// report to.
std::atomic<bool> g_counting{false};
std::atomic<bool> g_paused{false};
std::atomic<long> g_allocations{0};
std::atomic<long> g_releases{0};
std::atomic<bool> g_refusing{false};
std::atomic<long> g_grantedBeforeRefusal{0};
std::atomic<long> g_refused{0};

// True when this request is one the running HeapRefusal turns down.
[[maybe_unused]] bool Refuse() {
    if (!g_refusing.load(std::memory_order_relaxed) || g_paused.load(std::memory_order_relaxed)) {
        return false;
    }
    if (g_grantedBeforeRefusal.fetch_sub(1, std::memory_order_relaxed) > 0) {
        return false;
    }
    g_refused.fetch_add(1, std::memory_order_relaxed);
    return true;
}

bool Counting() {
    return g_counting.load(std::memory_order_relaxed) && !g_paused.load(std::memory_order_relaxed);
}

void NoteAllocation() {
    if (Counting()) {
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    }
}

void NoteRelease() {
    if (Counting()) {
        g_releases.fetch_add(1, std::memory_order_relaxed);
    }
}

}  // namespace

#if defined(CUEWIRE_HEAP_COUNT_BY_SANITIZER)

// The sanitizer runs these after every allocation and before every release it
// makes, operator new and malloc alike.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            size_t),
                                                         void (*freeHook)(const volatile void*));

namespace {

void OnSanitizerMalloc(const volatile void*, size_t) {
    NoteAllocation();
}
void OnSanitizerFree(const volatile void*) {
    NoteRelease();
}

bool InstallHooksOnce() {
    static const bool installed =
        __sanitizer_install_malloc_and_free_hooks(&OnSanitizerMalloc, &OnSanitizerFree) != 0;
    return installed;
}

}  // namespace

namespace cuewire::testing {
bool HeapCounter::CountsMalloc() {
    return true;
}
const char* HeapCounter::WhyNotCounting() {
    return InstallHooksOnce() ? nullptr : "the sanitizer refused another pair of allocation hooks";
}
const char* HeapRefusal::WhyNotRefusing() {
    return "operator new stays the sanitizer's, which cannot be told to refuse";
}
}  // namespace cuewire::testing

#else  // replacement allocation functions

#if defined(__GLIBC__)
// glibc lets a program replace malloc and its kin; its own entry points stay
// reachable under these names, so the replacements only count and forward.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);

void* malloc(size_t size) noexcept {
    NoteAllocation();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) noexcept {
    NoteAllocation();
    return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size) noexcept {
    if (block) {
        NoteRelease();
    }
    if (size != 0 || !block) {
        NoteAllocation();
    }
    return __libc_realloc(block, size);
}
void* memalign(size_t alignment, size_t size) noexcept {
    NoteAllocation();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) noexcept {
    NoteAllocation();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) noexcept {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return 22;  // EINVAL
    }
    NoteAllocation();
    void* block = __libc_memalign(alignment, size);
    if (!block) {
        return 12;  // ENOMEM
    }
    *out = block;
    return 0;
}
void free(void* block) noexcept {
    if (block) {
        NoteRelease();
    }
    __libc_free(block);
}
}  // extern "C"
#endif

namespace {

// Raw blocks for operator new, not counted a second time through malloc.
void* RawAllocate(size_t size) {
#if defined(__GLIBC__)
    return __libc_malloc(size == 0 ? 1 : size);
#else
    return std::malloc(size == 0 ? 1 : size);
#endif
}

void* RawAllocateAligned(size_t size, std::align_val_t alignment) {
    const size_t align = static_cast<size_t>(alignment);
#if defined(__GLIBC__)
    return __libc_memalign(align, size == 0 ? 1 : size);
#else
    return std::aligned_alloc(align, (size + align - 1) / align * align);
#endif
}

void RawRelease(void* block) {
#if defined(__GLIBC__)
    __libc_free(block);
#else
    std::free(block);
#endif
}

void* CountedNew(size_t size) {
    if (Refuse()) {
        throw std::bad_alloc();
    }
    NoteAllocation();
    void* block = RawAllocate(size);
    if (!block) {
        throw std::bad_alloc();
    }
    return block;
}

void* CountedNewAligned(size_t size, std::align_val_t alignment) {
    if (Refuse()) {
        throw std::bad_alloc();
    }
    NoteAllocation();
    void* block = RawAllocateAligned(size, alignment);
    if (!block) {
        throw std::bad_alloc();
    }
    return block;
}

void CountedDelete(void* block) noexcept {
    if (block) {
        NoteRelease();
        RawRelease(block);
    }
}

}  // namespace

void* operator new(size_t size) {
    return CountedNew(size);
}
void* operator new[](size_t size) {
    return CountedNew(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    if (Refuse()) {
        return nullptr;
    }
    NoteAllocation();
    return RawAllocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    if (Refuse()) {
        return nullptr;
    }
    NoteAllocation();
    return RawAllocate(size);
}
void* operator new(size_t size, std::align_val_t alignment) {
    return CountedNewAligned(size, alignment);
}
void* operator new[](size_t size, std::align_val_t alignment) {
    return CountedNewAligned(size, alignment);
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    if (Refuse()) {
        return nullptr;
    }
    NoteAllocation();
    return RawAllocateAligned(size, alignment);
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    if (Refuse()) {
        return nullptr;
    }
    NoteAllocation();
    return RawAllocateAligned(size, alignment);
}

void operator delete(void* block) noexcept {
    CountedDelete(block);
}
void operator delete[](void* block) noexcept {
    CountedDelete(block);
}
void operator delete(void* block, size_t) noexcept {
    CountedDelete(block);
}
void operator delete[](void* block, size_t) noexcept {
    CountedDelete(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    CountedDelete(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    CountedDelete(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
    CountedDelete(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
    CountedDelete(block);
}
void operator delete(void* block, size_t, std::align_val_t) noexcept {
    CountedDelete(block);
}
void operator delete[](void* block, size_t, std::align_val_t) noexcept {
    CountedDelete(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    CountedDelete(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    CountedDelete(block);
}

namespace cuewire::testing {
bool HeapCounter::CountsMalloc() {
#if defined(__GLIBC__)
    return true;
#else
    return false;
#endif
}
const char* HeapCounter::WhyNotCounting() {
    return nullptr;
}
const char* HeapRefusal::WhyNotRefusing() {
    return nullptr;
}
}  // namespace cuewire::testing

#endif

namespace cuewire::testing {

HeapCounter::HeapCounter() {
    g_allocations.store(0);
    g_releases.store(0);
    g_counting.store(true);
}

HeapCounter::~HeapCounter() {
    g_counting.store(false);
}

HeapCounts HeapCounter::Counts() const {
    return {g_allocations.load(), g_releases.load()};
}

HeapRefusal::HeapRefusal(long from) {
    g_refused.store(0);
    g_grantedBeforeRefusal.store(from);
    g_refusing.store(true);
}

HeapRefusal::~HeapRefusal() {
    g_refusing.store(false);
}

long HeapRefusal::Refused() const {
    return g_refused.load();
}

HeapCountPause::HeapCountPause() : m_bWasPaused(g_paused.exchange(true)) {
}

HeapCountPause::~HeapCountPause() {
    g_paused.store(m_bWasPaused);
}

}  // namespace cuewire::testing
