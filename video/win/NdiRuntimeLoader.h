#pragma once
#include <windows.h>

#include <string>

#include "video/NdiRuntime.h"

namespace cuewire {

// Owns the loaded NDI runtime and the table of its functions. Load tries each
// place of NdiRuntimeCandidates once, by its full path: the program's own
// folder, then the folders named by the runtime's installers; never the
// current folder or PATH, where anyone may leave a file of that name. A file
// that lacks a function is let go and the next place tried. When no place
// holds a complete runtime the table stays incomplete, which the panel reports
// as "Cannot run NDI."; the platform's loader never shows a box of its own.
// Destroy every sender (and call NDIlib_destroy) before this object goes.
class CNdiRuntimeLoader {
  public:
    CNdiRuntimeLoader() = default;
    CNdiRuntimeLoader(const CNdiRuntimeLoader&) = delete;
    CNdiRuntimeLoader& operator=(const CNdiRuntimeLoader&) = delete;
    ~CNdiRuntimeLoader();

    // True when the runtime was found and every function resolved.
    bool Load();

    // The runtime as the sender uses it; it cannot run when Load failed.
    INdiRuntime& Runtime() { return m_runtime; }
    // The raw table, for programs that call more of the runtime than the sender.
    const NdiFunctions& Functions() const { return m_functions; }
    // The loaded module, for callers that need more of its functions; null if none.
    HMODULE Module() const { return m_hModule; }
    // The file the runtime was loaded from; empty if none.
    const std::wstring& LoadedPath() const { return m_strPath; }
    // Import entries replaced by the Wine completion-port fix (0 on Windows).
    int PatchedImports() const { return m_nPatchedImports; }

  private:
    bool TryLoad(const std::wstring& file);
    bool ResolveFunctions();
    void Unload();

    HMODULE m_hModule = nullptr;  // owned: FreeLibrary
    NdiFunctions m_functions;
    CNdiFunctionTable m_runtime{m_functions};
    std::wstring m_strPath;
    int m_nPatchedImports = 0;
};

}  // namespace cuewire
