#include "video/win/NdiRuntimeLoader.h"

#include "video/win/WineCompletionPortPatch.h"

namespace cuewire {

namespace {

// The variables the runtime's installers set, newest version first: a machine
// that still carries an old runtime beside a new one gets the new one.
constexpr const wchar_t* kRuntimeFolderVariables[] = {
    L"NDI_RUNTIME_DIR_V6",
    L"NDI_RUNTIME_DIR_V5",
    L"NDI_RUNTIME_DIR_V4",
    L"NDI_RUNTIME_DIR_V3",
};

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

std::wstring EnvironmentFolder(const wchar_t* name) {
    wchar_t value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(value, length);
}

std::wstring InFolder(const std::wstring& folder) {
    if (folder.empty()) {
        return {};
    }
    const wchar_t last = folder.back();
    const bool separated = last == L'\\' || last == L'/';
    return folder + (separated ? L"" : L"\\") + CNdiRuntimeLoader::kRuntimeFileName;
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
    bool loaded = TryLoad(InFolder(ProgramFolder()));
    for (const wchar_t* variable : kRuntimeFolderVariables) {
        loaded = loaded || TryLoad(InFolder(EnvironmentFolder(variable)));
    }
    loaded = loaded || TryLoad(kRuntimeFileName);
    if (!loaded) {
        return false;
    }
    // Before anything can create a sender: see WineCompletionPortPatch.h.
    m_nPatchedImports = InstallWineCompletionPortPatch(m_hModule);
    if (!ResolveFunctions()) {
        Unload();
        return false;
    }
    return true;
}

bool CNdiRuntimeLoader::TryLoad(const std::wstring& file) {
    if (file.empty()) {
        return false;
    }
    // A full path loads the runtime's own dependencies from its folder first;
    // the bare name takes the standard search order.
    const bool fullPath = file.find_first_of(L"\\/") != std::wstring::npos;
    m_hModule = LoadLibraryExW(file.c_str(), nullptr, fullPath ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
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
