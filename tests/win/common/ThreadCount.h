#pragma once
// How many threads the calling process has: the NDI runtime starts its own,
// and a thread that outlives its sender shows up here.
#include <windows.h>
#include <tlhelp32.h>

namespace cuewire::test_programs {

// -1 when the process's threads cannot be listed.
inline int ThreadCount() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

}  // namespace cuewire::test_programs
