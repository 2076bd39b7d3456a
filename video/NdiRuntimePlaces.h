#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace cuewire {

inline constexpr char16_t kNdiRuntimeFileName[] = u"Processing.NDI.Lib.x64.dll";

// The variables the runtime's installers set, newest version first: a machine
// that still carries an old runtime beside a new one gets the new one.
inline constexpr std::array<const char16_t*, 4> kNdiRuntimeFolderVariables = {
    u"NDI_RUNTIME_DIR_V6",
    u"NDI_RUNTIME_DIR_V5",
    u"NDI_RUNTIME_DIR_V4",
    u"NDI_RUNTIME_DIR_V3",
};

// What the loader knows when it starts looking: the program's own folder and
// the value of each variable above, in the same order (empty when unset).
struct NdiRuntimeSearch {
    std::u16string programFolder;
    std::array<std::u16string, kNdiRuntimeFolderVariables.size()> variableFolders;
};

// True for a Windows path that names one place whatever the current folder
// and drive: "C:\x", "C:/x" or "\\server\share". "C:x" and "\x" depend on the
// current drive's folder, and a bare name on the search order.
bool IsAbsoluteWindowsPath(std::u16string_view path);

// The runtime files to try, in order: beside the program, then in each
// variable's folder. Only absolute places are kept, so the current folder and
// PATH are never searched; a place named twice is tried once.
std::vector<std::u16string> NdiRuntimeCandidates(const NdiRuntimeSearch& search);

}  // namespace cuewire
