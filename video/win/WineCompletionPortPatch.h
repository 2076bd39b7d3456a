#pragma once
#include <windows.h>

namespace cuewire {

// True when the process runs under Wine rather than Windows.
bool RunningUnderWine();

// Under Wine 8.0, closing an I/O completion port does not wake the threads
// blocked on it in GetQueuedCompletionStatus, as Windows does. The NDI runtime
// stops its worker threads exactly that way, so NDIlib_send_destroy would wait
// for them forever. Under Wine only, this replaces the runtime's imports of
// GetQueuedCompletionStatus and CloseHandle with versions that give the
// runtime Windows' behaviour. Call it once, after loading the runtime and
// before its first NDIlib_send_create. Returns the number of import entries
// replaced: 0 on Windows, where the runtime is left untouched.
int InstallWineCompletionPortPatch(HMODULE runtime);

}  // namespace cuewire
