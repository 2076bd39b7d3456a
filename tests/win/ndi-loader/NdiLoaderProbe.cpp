// Loads the NDI runtime with the program's loader and says where it came from.
// Nothing is initialised: only the search, the resolution of the functions and
// the Wine fix are exercised.
//   loaded=<0|1> complete=<0|1> patched=<k> path=<file>
// With "bare" it asks the platform for the runtime's bare file name instead,
// with the platform's default search, and prints only "path=<file>": what a
// loader that fell back to the bare name would have run.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "video/win/NdiRuntimeLoader.h"

namespace {

void PrintPath(const char* prefix, const wchar_t* path) {
    char narrow[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, path, -1, narrow, sizeof narrow, nullptr, nullptr);
    std::printf("%spath=%s\n", prefix, narrow);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "bare") == 0) {
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        wchar_t path[MAX_PATH] = {};
        if (const HMODULE module = LoadLibraryW(L"Processing.NDI.Lib.x64.dll")) {
            GetModuleFileNameW(module, path, MAX_PATH);
        }
        PrintPath("", path);
        return 0;
    }
    cuewire::CNdiRuntimeLoader runtime;
    const bool loaded = runtime.Load();
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "loaded=%d complete=%d patched=%d ", loaded ? 1 : 0,
                  runtime.Functions().Complete() ? 1 : 0, runtime.PatchedImports());
    PrintPath(prefix, runtime.LoadedPath().c_str());
    return 0;
}
