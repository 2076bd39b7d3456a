#include "video/win/WineCompletionPortPatch.h"

// Why this exists: to stop its worker threads, the NDI runtime closes an I/O
// completion port while they wait on it with an infinite timeout, then waits
// for the threads to end. Windows wakes every waiter when the port's handle is
// closed: the call fails without a packet and with ERROR_ABANDONED_WAIT_0, the
// runtime's signal to leave its loop. Wine 8.0 never wakes them (a small
// program without NDI shows the same), so NDIlib_send_destroy never returns.
//
// The fix gives the runtime Windows' behaviour through its own import table:
// - its GetQueuedCompletionStatus records, per port, how many threads wait
//   with an infinite timeout;
// - its CloseHandle, for a port with such waiters, counts the close and posts
//   one wake-up packet per waiter (with a key of ours) before closing, which
//   Wine does deliver;
// - a waiter that dequeues a wake-up packet, or whose call fails without a
//   packet after its port was closed, fails as Windows would.
// The waits themselves stay infinite. Turning them into short timed waits
// that notice the close also frees the threads, but under Wine 8.0 a receiver
// patched that way never got a single video frame, so the runtime's waits are
// left as they are.
// Only the runtime's imports change; the rest of the process is untouched.
//
// The replacements are plain functions written into another module's import
// table, so they cannot carry an object: their state is this file's one
// table, shared by the runtime's threads under a slim reader/writer lock.

namespace cuewire {

namespace {

// Ports with a waiter at the same time; the runtime uses a handful.
constexpr int kWatchedPorts = 64;
// The completion key of our wake-up packets: not an address any pointer can
// hold on x64 (it is not canonical), nor a small count.
constexpr ULONG_PTR kWakeKey = 0x57414b45434c4f53ull;  // "WAKECLOS"

struct WatchedPort {
    HANDLE port;
    LONG closes;   // CloseHandle calls on this handle value while watched
    LONG waiters;  // infinite waits in progress; the slot is free at 0
};

struct PortCloseTable {
    SRWLOCK lock;
    WatchedPort ports[kWatchedPorts];
};

// Zero-initialised before any code runs: no constructor to order.
PortCloseTable g_table = {SRWLOCK_INIT, {}};

// Pins a slot for `port` for the length of one wait; -1 when every slot is busy.
int BeginWatching(HANDLE port, LONG& closesAtStart) {
    AcquireSRWLockExclusive(&g_table.lock);
    int found = -1;
    for (int i = 0; i < kWatchedPorts && found < 0; ++i) {
        if (g_table.ports[i].waiters > 0 && g_table.ports[i].port == port) {
            found = i;
        }
    }
    for (int i = 0; i < kWatchedPorts && found < 0; ++i) {
        if (g_table.ports[i].waiters == 0) {
            g_table.ports[i] = {port, 0, 0};
            found = i;
        }
    }
    if (found >= 0) {
        ++g_table.ports[found].waiters;
        closesAtStart = g_table.ports[found].closes;
    }
    ReleaseSRWLockExclusive(&g_table.lock);
    return found;
}

bool ClosedSince(int slot, LONG closesAtStart) {
    AcquireSRWLockShared(&g_table.lock);
    const bool closed = g_table.ports[slot].closes != closesAtStart;
    ReleaseSRWLockShared(&g_table.lock);
    return closed;
}

void EndWatching(int slot) {
    AcquireSRWLockExclusive(&g_table.lock);
    --g_table.ports[slot].waiters;
    ReleaseSRWLockExclusive(&g_table.lock);
}

BOOL WINAPI WakingCloseHandle(HANDLE handle) {
    // Exclusive until the handle is closed: a waiter that joined between the
    // packets and the close would find the port open, take another waiter's
    // packet and leave that one blocked for ever. Joining after the close, a
    // waiter's call fails at once on the closed handle, as on Windows.
    AcquireSRWLockExclusive(&g_table.lock);
    for (WatchedPort& watched : g_table.ports) {
        if (watched.waiters > 0 && watched.port == handle) {
            ++watched.closes;
            for (LONG i = 0; i < watched.waiters; ++i) {
                PostQueuedCompletionStatus(handle, 0, kWakeKey, nullptr);
            }
        }
    }
    const BOOL closed = CloseHandle(handle);
    ReleaseSRWLockExclusive(&g_table.lock);
    return closed;
}

BOOL Abandoned(LPOVERLAPPED* overlapped) {
    if (overlapped) {
        *overlapped = nullptr;
    }
    SetLastError(ERROR_ABANDONED_WAIT_0);
    return FALSE;
}

BOOL WINAPI WakeableGetQueuedCompletionStatus(HANDLE port, LPDWORD bytes, PULONG_PTR key,
                                              LPOVERLAPPED* overlapped, DWORD milliseconds) {
    LONG closesAtStart = 0;
    const int slot = milliseconds == INFINITE ? BeginWatching(port, closesAtStart) : -1;
    const BOOL result = GetQueuedCompletionStatus(port, bytes, key, overlapped, milliseconds);
    const DWORD error = GetLastError();
    // Even a timed wait may take a wake-up packet meant for another thread.
    const bool woken = result && key && *key == kWakeKey && overlapped && !*overlapped;
    // A failed I/O also dequeues a packet (overlapped set): that is a real result.
    const bool noPacket = !result && !(overlapped && *overlapped);
    const bool closed = slot >= 0 && noPacket && ClosedSince(slot, closesAtStart);
    if (slot >= 0) {
        EndWatching(slot);
    }
    if (woken || closed) {
        return Abandoned(overlapped);
    }
    SetLastError(error);
    return result;
}

// Points every import entry of the module at `base` that resolved to `original` at
// `replacement`. Returns how many entries changed.
int ReplaceImport(BYTE* base, const IMAGE_IMPORT_DESCRIPTOR* imports, ULONG_PTR original,
                  ULONG_PTR replacement) {
    int replaced = 0;
    for (const IMAGE_IMPORT_DESCRIPTOR* library = imports; library->Name != 0; ++library) {
        auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; entry->u1.Function != 0; ++entry) {
            if (entry->u1.Function != original) {
                continue;
            }
            DWORD protection = 0;
            if (!VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, PAGE_READWRITE,
                                &protection)) {
                continue;
            }
            entry->u1.Function = replacement;
            VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, protection, &protection);
            ++replaced;
        }
    }
    return replaced;
}

const IMAGE_IMPORT_DESCRIPTOR* ImportDirectory(BYTE* base) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) {
        return nullptr;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) {
        return nullptr;
    }
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return nullptr;
    }
    return reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
}

}  // namespace

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

int InstallWineCompletionPortPatch(HMODULE runtime) {
    if (!runtime || !RunningUnderWine()) {
        return 0;
    }
    auto* base = reinterpret_cast<BYTE*>(runtime);
    const IMAGE_IMPORT_DESCRIPTOR* imports = ImportDirectory(base);
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (!imports || !kernel32) {
        return 0;
    }
    // The entries hold what the loader resolved, so compare with the same
    // resolution of the names rather than with our own (possibly thunked) imports.
    const auto close = reinterpret_cast<ULONG_PTR>(GetProcAddress(kernel32, "CloseHandle"));
    const auto dequeue =
        reinterpret_cast<ULONG_PTR>(GetProcAddress(kernel32, "GetQueuedCompletionStatus"));
    if (!close || !dequeue) {
        return 0;
    }
    return ReplaceImport(base, imports, close, reinterpret_cast<ULONG_PTR>(&WakingCloseHandle)) +
           ReplaceImport(base, imports, dequeue,
                         reinterpret_cast<ULONG_PTR>(&WakeableGetQueuedCompletionStatus));
}

}  // namespace cuewire
