#include "link/win/LinkTransferThread.h"

#include <new>

#include "link/TextTransfer.h"

namespace cuewire {

namespace {

class CCriticalSectionLock {
  public:
    explicit CCriticalSectionLock(CRITICAL_SECTION& section) : m_section(section) {
        EnterCriticalSection(&m_section);
    }
    ~CCriticalSectionLock() { LeaveCriticalSection(&m_section); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

  private:
    CRITICAL_SECTION& m_section;
};

}  // namespace

void CLinkTransferThread::CStoppableBus::Post(uint64_t code, int64_t value) {
    if (!m_stopping.load(std::memory_order_relaxed)) {
        m_bus.Post(code, value);
    }
}

CLinkTransferThread::CLinkTransferThread(ILinkBus& bus) : m_bus(bus) {
    InitializeCriticalSection(&m_lock);
    m_hWake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (m_hWake) {
        m_hThread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    }
    if (m_hThread) {
        // Posting is never more urgent than the panel answering its operator.
        SetThreadPriority(m_hThread, THREAD_PRIORITY_BELOW_NORMAL);
    }
}

CLinkTransferThread::~CLinkTransferThread() {
    if (m_hThread) {
        m_bStopping.store(true);
        SetEvent(m_hWake);
        // The thread stops at its next post, so this wait is short.
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
    }
    if (m_hWake) {
        CloseHandle(m_hWake);
    }
    DeleteCriticalSection(&m_lock);
}

DWORD WINAPI CLinkTransferThread::ThreadMain(LPVOID self) {
    static_cast<CLinkTransferThread*>(self)->PostWhatArrives();
    return 0;
}

void CLinkTransferThread::PostWhatArrives() {
    CStoppableBus bus(m_bus, m_bStopping);
    LinkTransfer next;  // its text's storage circulates with the queue's
    for (;;) {
        WaitForSingleObject(m_hWake, INFINITE);
        for (;;) {
            if (m_bStopping.load()) {
                return;
            }
            {
                CCriticalSectionLock lock(m_lock);
                if (!m_queue.TakeNext(next)) {
                    break;
                }
            }
            PostLinkTransfer(bus, next);
        }
    }
}

template <typename Push>
void CLinkTransferThread::Hand(Push push) {
    {
        CCriticalSectionLock lock(m_lock);
        try {
            push(m_queue);
        } catch (const std::bad_alloc&) {
            // Not even the text's copy fits: this transfer is lost, the
            // panel and the transfers before it are not.
        }
    }
    SetEvent(m_hWake);
}

void CLinkTransferThread::SendText(std::u16string_view text) {
    if (!m_hThread) {
        PostTextTransfer(m_bus, text);  // no thread: the panel's own, as slow as ever
        return;
    }
    Hand([text](CLinkTransferQueue& queue) { queue.PushText(text); });
}

void CLinkTransferThread::SendClear() {
    if (!m_hThread) {
        PostTextClear(m_bus);
        return;
    }
    Hand([](CLinkTransferQueue& queue) { queue.PushClear(); });
}

}  // namespace cuewire
