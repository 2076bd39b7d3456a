#include "app/win/DllSearch.h"

#include <windows.h>

namespace cuewire {

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

void RestrictDllSearchToSystem() {
    // Looked up at run time: a Windows 7 without its loader update lacks it.
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault =
        kernel32 ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(
                       GetProcAddress(kernel32, "SetDefaultDllDirectories")))
                 : nullptr;
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return;
    }
    // At least the current folder leaves the search.
    SetDllDirectoryW(L"");
}

}  // namespace cuewire
