// A stand-in for the NDI runtime's use of completion ports, in a library of
// its own so that the fix can replace its imports: worker threads wait on a
// port with an infinite timeout, and the port is closed to stop them.
#include <windows.h>

#define PORT_USER_API extern "C" __declspec(dllexport)

namespace {

struct Waiter {
    HANDLE port;
    DWORD error;    // GetLastError after the call, 0 when it returned a packet
    ULONG_PTR key;  // the packet's key when it returned one
};

DWORD WINAPI Wait(void* parameter) {
    auto* waiter = static_cast<Waiter*>(parameter);
    DWORD bytes = 0;
    OVERLAPPED* overlapped = nullptr;
    const BOOL ok =
        GetQueuedCompletionStatus(waiter->port, &bytes, &waiter->key, &overlapped, INFINITE);
    waiter->error = ok ? 0 : GetLastError();
    return 0;
}

}  // namespace

// Starts `count` (at most 8) threads waiting on a new port, posts `packets`
// packets with key 7, closes the port after `closeAfterMs`, and gives the
// threads `joinMs` to end. Returns how many ended; errors[i] and keys[i] say
// what each thread's call returned.
PORT_USER_API int PortUserStopWaiters(int count, int packets, DWORD closeAfterMs, DWORD joinMs,
                                      DWORD* errors, ULONG_PTR* keys) {
    if (count < 1 || count > 8) {
        return -1;
    }
    const HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 0);
    Waiter waiters[8] = {};
    HANDLE threads[8] = {};
    for (int i = 0; i < count; ++i) {
        waiters[i] = {port, WAIT_TIMEOUT, 0};
        threads[i] = CreateThread(nullptr, 0, &Wait, &waiters[i], 0, nullptr);
    }
    for (int i = 0; i < packets; ++i) {
        PostQueuedCompletionStatus(port, 0, 7, nullptr);
    }
    Sleep(closeAfterMs);
    CloseHandle(port);
    int ended = 0;
    for (int i = 0; i < count; ++i) {
        if (WaitForSingleObject(threads[i], joinMs) == WAIT_OBJECT_0) {
            ++ended;
            errors[i] = waiters[i].error;
            keys[i] = waiters[i].key;
        }
        // A thread still blocked is left behind: the test has failed by then.
    }
    return ended;
}

// One call as the runtime makes it, for timed waits and packets.
PORT_USER_API BOOL PortUserDequeue(HANDLE port, DWORD milliseconds, ULONG_PTR* key, DWORD* error) {
    DWORD bytes = 0;
    OVERLAPPED* overlapped = nullptr;
    const BOOL ok = GetQueuedCompletionStatus(port, &bytes, key, &overlapped, milliseconds);
    *error = ok ? 0 : GetLastError();
    return ok;
}

PORT_USER_API BOOL PortUserClose(HANDLE handle) {
    return CloseHandle(handle);
}
