// The Wine completion-port fix on a stand-in library (PortUser.dll) that uses
// a port the way the NDI runtime does: closing the port must wake every
// waiter as Windows does, while packets, timeouts and other handles behave
// as before.
#include <windows.h>

#include <gtest/gtest.h>

#include "video/win/WineCompletionPortPatch.h"

namespace cuewire {
namespace {

using StopWaiters = int (*)(int count, int packets, DWORD closeAfterMs, DWORD joinMs, DWORD* errors,
                            ULONG_PTR* keys);
using Dequeue = BOOL (*)(HANDLE port, DWORD milliseconds, ULONG_PTR* key, DWORD* error);
using Close = BOOL (*)(HANDLE handle);

template <typename Function>
Function Find(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

class CompletionPortFix : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_module = LoadLibraryW(L"PortUser.dll");
        s_patched = InstallWineCompletionPortPatch(s_module);
    }

    void SetUp() override {
        ASSERT_NE(s_module, nullptr);
        m_stop = Find<StopWaiters>(s_module, "PortUserStopWaiters");
        m_dequeue = Find<Dequeue>(s_module, "PortUserDequeue");
        m_close = Find<Close>(s_module, "PortUserClose");
        ASSERT_TRUE(m_stop && m_dequeue && m_close);
    }

    static HMODULE s_module;
    static int s_patched;
    StopWaiters m_stop = nullptr;
    Dequeue m_dequeue = nullptr;
    Close m_close = nullptr;
};

HMODULE CompletionPortFix::s_module = nullptr;
int CompletionPortFix::s_patched = 0;

TEST_F(CompletionPortFix, ReplacesBothImportsUnderWineOnly) {
    EXPECT_EQ(s_patched, RunningUnderWine() ? 2 : 0);
}

TEST_F(CompletionPortFix, ClosingThePortWakesEveryWaiterAsAbandoned) {
    struct Case {
        int waiters;
        DWORD closeAfterMs;  // 0: closed while the threads may not be waiting yet
    };
    for (const Case c : {Case{1, 200}, Case{2, 200}, Case{8, 300}, Case{4, 0}}) {
        DWORD errors[8] = {};
        ULONG_PTR keys[8] = {};
        ASSERT_EQ(m_stop(c.waiters, 0, c.closeAfterMs, 5000, errors, keys), c.waiters)
            << c.waiters << " waiters, closed after " << c.closeAfterMs << " ms";
        for (int i = 0; i < c.waiters; ++i) {
            // A thread that reached its call after the close finds the handle gone.
            if (c.closeAfterMs == 0 && errors[i] == ERROR_INVALID_HANDLE) {
                continue;
            }
            EXPECT_EQ(errors[i], static_cast<DWORD>(ERROR_ABANDONED_WAIT_0)) << "waiter " << i;
        }
    }
}

TEST_F(CompletionPortFix, PacketsQueuedBeforeTheCloseStillArrive) {
    DWORD errors[3] = {};
    ULONG_PTR keys[3] = {};
    // One packet for three waiters: one thread gets it, the other two are woken.
    ASSERT_EQ(m_stop(3, 1, 200, 5000, errors, keys), 3);
    int delivered = 0, abandoned = 0;
    for (int i = 0; i < 3; ++i) {
        delivered += errors[i] == 0 && keys[i] == 7;
        abandoned += errors[i] == ERROR_ABANDONED_WAIT_0;
    }
    EXPECT_EQ(delivered, 1);
    EXPECT_EQ(abandoned, 2);
}

TEST_F(CompletionPortFix, OpenPortsBehaveAsBefore) {
    const HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 0);
    ASSERT_NE(port, nullptr);
    ULONG_PTR key = 0;
    DWORD error = 0;
    EXPECT_FALSE(m_dequeue(port, 50, &key, &error));
    EXPECT_EQ(error, static_cast<DWORD>(WAIT_TIMEOUT));

    ASSERT_TRUE(PostQueuedCompletionStatus(port, 0, 42, nullptr));
    EXPECT_TRUE(m_dequeue(port, INFINITE, &key, &error));
    EXPECT_EQ(key, 42u);
    EXPECT_EQ(error, 0u);

    EXPECT_TRUE(m_close(port));
    EXPECT_FALSE(m_dequeue(port, INFINITE, &key, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(CompletionPortFix, OtherHandlesCloseAsBefore) {
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(m_close(event));
    EXPECT_FALSE(m_close(event));
}

}  // namespace
}  // namespace cuewire
