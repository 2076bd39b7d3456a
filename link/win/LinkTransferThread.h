#pragma once
#include <windows.h>

#include <atomic>

#include "link/LinkBroadcast.h"
#include "link/LinkTransferQueue.h"

namespace cuewire {

// The text link, posted by a thread of its own. Under Wine a broadcast costs a
// round trip to the server per top-level window, and a long text is minutes of
// broadcasts; posted from the panel's thread they would hold every key and the
// once-a-second re-send for as long. Here a composition only copies its
// transfer into the queue and wakes the thread, which posts the transfers one
// whole at a time, oldest first, so they never interleave.
//
// The platform's own thread, critical section and event: the compiler's
// default thread model has no std::thread or std::mutex. The object owns all
// three; it is made and used on the panel's thread, and its end stops the
// thread: transfers still waiting are dropped, and the one being posted is
// cut short without its end message, so that no listener takes a part of a
// text for the whole. A copy that leaves does not wait minutes for a text the
// output no longer shows.
class CLinkTransferThread final : public ILinkBroadcast {
  public:
    // `bus` must be safe to post to from another thread, and outlive this object.
    explicit CLinkTransferThread(ILinkBus& bus);
    ~CLinkTransferThread() override;
    CLinkTransferThread(const CLinkTransferThread&) = delete;
    CLinkTransferThread& operator=(const CLinkTransferThread&) = delete;

    void SendText(std::u16string_view text) override;
    void SendClear() override;

  private:
    // Passes posts on until the thread is told to stop.
    class CStoppableBus final : public ILinkBus {
      public:
        CStoppableBus(ILinkBus& bus, const std::atomic<bool>& stopping)
            : m_bus(bus), m_stopping(stopping) {}
        void Post(uint64_t code, int64_t value) override;

      private:
        ILinkBus& m_bus;                      // not owned
        const std::atomic<bool>& m_stopping;  // not owned
    };

    static DWORD WINAPI ThreadMain(LPVOID self);
    void PostWhatArrives();
    // Queues a transfer and wakes the thread.
    template <typename Push>
    void Hand(Push push);

    ILinkBus& m_bus;  // not owned
    CRITICAL_SECTION m_lock;
    CLinkTransferQueue m_queue;  // guarded by m_lock
    std::atomic<bool> m_bStopping{false};
    HANDLE m_hWake = nullptr;    // owned; auto-reset: set when a transfer is queued
    HANDLE m_hThread = nullptr;  // owned; null when it could not start
};

}  // namespace cuewire
