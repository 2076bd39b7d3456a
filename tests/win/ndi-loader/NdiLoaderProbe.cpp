// Loads the NDI runtime with the program's loader and says where it came from.
// Nothing is initialised: only the search, the resolution of the functions and
// the Wine fix are exercised.
//   loaded=<0|1> complete=<0|1> patched=<k> path=<file>
#include <windows.h>

#include <cstdio>

#include "video/win/NdiRuntimeLoader.h"

int main() {
    cuewire::CNdiRuntimeLoader runtime;
    const bool loaded = runtime.Load();
    char path[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_UTF8, 0, runtime.LoadedPath().c_str(), -1, path, sizeof path, nullptr,
                        nullptr);
    std::printf("loaded=%d complete=%d patched=%d path=%s\n", loaded ? 1 : 0,
                runtime.Functions().Complete() ? 1 : 0, runtime.PatchedImports(), path);
    return 0;
}
