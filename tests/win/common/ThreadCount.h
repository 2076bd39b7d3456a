#pragma once
// How many threads the calling process has: the NDI runtime starts its own,
// and a thread that outlives its sender shows up here.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <map>
#include <string>

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

// The module each of the process's threads started in, and how many started
// there ("?" where the start cannot be read): which code a gathered thread
// belongs to.
inline std::map<std::string, int> ThreadsByStartModule() {
    std::map<std::string, int> modules;
    using QueryThread = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryThread>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return modules;
    }
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId()) {
            continue;
        }
        std::string name = "?";
        void* start = nullptr;
        constexpr int kWin32StartAddress = 9;
        const HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        HMODULE module = nullptr;
        if (thread && query && query(thread, kWin32StartAddress, &start, sizeof start, nullptr) == 0 &&
            GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               static_cast<const char*>(start), &module)) {
            char path[MAX_PATH] = {};
            GetModuleFileNameA(module, path, MAX_PATH);
            name = path;
            name = name.substr(name.find_last_of("\\/") + 1);
        }
        if (thread) {
            CloseHandle(thread);
        }
        ++modules[name];
    }
    CloseHandle(snapshot);
    return modules;
}

inline void PrintThreadsByStartModule(const char* label) {
    std::printf("%s", label);
    for (const auto& [module, count] : ThreadsByStartModule()) {
        std::printf(" %s=%d", module.c_str(), count);
    }
    std::printf("\n");
}

}  // namespace cuewire::test_programs
