#include "video/NdiRuntimePlaces.h"

#include <algorithm>

namespace cuewire {

namespace {

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

bool IsDriveLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Windows compares file names without regard to ASCII case.
bool SamePlace(std::u16string_view a, std::u16string_view b) {
    const auto lower = [](char16_t c) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

}  // namespace

bool IsAbsoluteWindowsPath(std::u16string_view path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsSeparator(path[2])) {
        return true;
    }
    // A UNC name needs a server after the two separators.
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           !IsSeparator(path[2]);
}

std::vector<std::u16string> NdiRuntimeCandidates(const NdiRuntimeSearch& search) {
    std::vector<std::u16string> files;
    const auto add = [&files](const std::u16string& folder) {
        if (!IsAbsoluteWindowsPath(folder)) {
            return;
        }
        std::u16string file = folder;
        if (!IsSeparator(file.back())) {
            file += u'\\';
        }
        file += kNdiRuntimeFileName;
        const bool known = std::any_of(files.begin(), files.end(), [&file](const auto& earlier) {
            return SamePlace(earlier, file);
        });
        if (!known) {
            files.push_back(std::move(file));
        }
    };
    add(search.programFolder);
    for (const std::u16string& folder : search.variableFolders) {
        add(folder);
    }
    return files;
}

}  // namespace cuewire
