// A stand-in planted under the runtime's file name in a folder nobody vetted.
// Its code runs the moment a process loads it: it writes planted-runtime-ran.txt
// beside itself, naming the process that loaded it, so that a test sees a load
// that the process itself never admits to. It offers no function of the runtime.
#include <windows.h>

namespace {

void LeaveMarker(HMODULE self) {
    wchar_t marker[MAX_PATH];
    const DWORD length = GetModuleFileNameW(self, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    DWORD slash = length;
    while (slash > 0 && marker[slash - 1] != L'\\' && marker[slash - 1] != L'/') {
        --slash;
    }
    const wchar_t name[] = L"planted-runtime-ran.txt";
    if (slash + sizeof name / sizeof name[0] > MAX_PATH) {
        return;
    }
    lstrcpyW(marker + slash, name);
    const HANDLE file = CreateFileW(marker, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    char process[MAX_PATH * 3] = {};
    wchar_t processWide[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, processWide, MAX_PATH);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, processWide, -1, process,
                                          sizeof process - 1, nullptr, nullptr);
    if (bytes > 0) {
        process[bytes - 1] = '\n';
        DWORD written = 0;
        WriteFile(file, process, static_cast<DWORD>(bytes), &written, nullptr);
    }
    CloseHandle(file);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        LeaveMarker(self);
    }
    return TRUE;
}
