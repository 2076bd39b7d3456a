// GoogleTest's one use of std::mutex, replaced for the win32 thread model (which
// has none) by a Windows event. Force-included into GoogleTest and its users.
#pragma once
#include <windows.h>

namespace testing::internal {

class Notification {
  public:
    Notification() : m_hEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(m_hEvent); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(m_hEvent); }
    void WaitForNotification() { WaitForSingleObject(m_hEvent, INFINITE); }

  private:
    HANDLE m_hEvent;
};

}  // namespace testing::internal
