#include "video/win/NdiRuntimeLoader.h"

#include "win32/WideText.h"
#include "video/NdiRuntimePlaces.h"
#include "video/win/WineCompletionPortPatch.h"

namespace cuewire {

namespace {

// A missing file or dependency must fail quietly, not with the platform's box.
class QuietLoadErrors {
  public:
    QuietLoadErrors() {
        SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &m_previous);
    }
    ~QuietLoadErrors() { SetThreadErrorMode(m_previous, nullptr); }
    QuietLoadErrors(const QuietLoadErrors&) = delete;
    QuietLoadErrors& operator=(const QuietLoadErrors&) = delete;

  private:
    DWORD m_previous = 0;
};

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::wstring folder(path, length);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring{} : folder.substr(0, slash);
}

std::u16string EnvironmentFolder(const char16_t* name) {
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(reinterpret_cast<const wchar_t*>(name), value,
                                                 MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return FromWide(std::wstring_view(value, length));
}

NdiRuntimeSearch WhereToSearch() {
    NdiRuntimeSearch search;
    search.programFolder = FromWide(ProgramFolder());
    for (size_t i = 0; i < kNdiRuntimeFolderVariables.size(); ++i) {
        search.variableFolders[i] = EnvironmentFolder(kNdiRuntimeFolderVariables[i]);
    }
    return search;
}

// FARPROC to the table's exact type, through the generic function type that
// compilers accept for such casts.
template <typename Function>
void Resolve(HMODULE module, const char* name, Function& out) {
    out = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

CNdiRuntimeLoader::~CNdiRuntimeLoader() {
    Unload();
}

bool CNdiRuntimeLoader::Load() {
    Unload();
    const QuietLoadErrors quiet;
    for (const std::u16string& file : NdiRuntimeCandidates(WhereToSearch())) {
        if (!TryLoad(ToWide(file))) {
            continue;
        }
        if (ResolveFunctions()) {
            // Before anything can create a sender: see WineCompletionPortPatch.h.
            m_nPatchedImports = InstallWineCompletionPortPatch(m_hModule);
            return true;
        }
        Unload();
    }
    return false;
}

bool CNdiRuntimeLoader::TryLoad(const std::wstring& file) {
    // The runtime's own dependencies come from its folder, then the system's;
    // never from the current folder or PATH.
    m_hModule = LoadLibraryExW(file.c_str(), nullptr,
                               LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!m_hModule && GetLastError() == ERROR_INVALID_PARAMETER) {
        // A system without those search flags: the full path alone keeps the
        // search away from the current folder for the file itself.
        m_hModule = LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (!m_hModule) {
        return false;
    }
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(m_hModule, path, MAX_PATH);
    m_strPath.assign(path, length < MAX_PATH ? length : 0);
    return true;
}

bool CNdiRuntimeLoader::ResolveFunctions() {
    NdiFunctions& f = m_functions;
    Resolve(m_hModule, "NDIlib_initialize", f.initialize);
    Resolve(m_hModule, "NDIlib_destroy", f.destroy);
    Resolve(m_hModule, "NDIlib_version", f.version);
    Resolve(m_hModule, "NDIlib_send_create", f.send_create);
    Resolve(m_hModule, "NDIlib_send_destroy", f.send_destroy);
    Resolve(m_hModule, "NDIlib_send_send_video_async_v2", f.send_send_video_async_v2);
    Resolve(m_hModule, "NDIlib_send_add_connection_metadata", f.send_add_connection_metadata);
    return f.Complete();
}

void CNdiRuntimeLoader::Unload() {
    m_functions = NdiFunctions{};
    m_strPath.clear();
    m_nPatchedImports = 0;
    if (m_hModule) {
        FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
}

}  // namespace cuewire
