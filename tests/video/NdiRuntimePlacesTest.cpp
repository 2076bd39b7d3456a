#include "video/NdiRuntimePlaces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cuewire {
namespace {

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());  // the cases are ASCII
}

TEST(NdiRuntimePlaces, OwnFolderThenAbsoluteVariableFoldersNewestFirstAndNothingElse) {
    const std::u16string file = u"\\Processing.NDI.Lib.x64.dll";
    struct Case {
        const char* name;
        NdiRuntimeSearch search;  // variables V6, V5, V4, V3
        std::vector<std::u16string> expected;
    };
    const Case cases[] = {
        {"nothing known: no place at all, not even the bare name", {}, {}},
        {"own folder", {u"C:\\Cuewire", {}}, {u"C:\\Cuewire" + file}},
        {"own folder, then every variable newest first",
         {u"C:\\App", {u"C:\\V6", u"C:\\V5", u"C:\\V4", u"C:\\V3"}},
         {u"C:\\App" + file, u"C:\\V6" + file, u"C:\\V5" + file, u"C:\\V4" + file,
          u"C:\\V3" + file}},
        {"unset variables are skipped", {u"C:\\App", {u"", u"D:\\Ndi5", u"", u""}},
         {u"C:\\App" + file, u"D:\\Ndi5" + file}},
        {"a trailing separator is not doubled; forward slashes are kept",
         {u"Z:\\run\\", {u"C:/Program Files/NDI/", {}, {}, {}}},
         {u"Z:\\run" + file, u"C:/Program Files/NDI/Processing.NDI.Lib.x64.dll"}},
        {"a network share is a place", {u"", {u"\\\\server\\ndi", {}, {}, {}}},
         {u"\\\\server\\ndi" + file}},
        {"relative, drive-relative, rooted and dot folders lead to the current folder: skipped",
         {u"C:\\App", {u"ndi", u"C:ndi", u"\\ndi", u"."}},
         {u"C:\\App" + file}},
        {"a quoted folder is no path", {u"", {u"\"C:\\NDI\"", {}, {}, {}}}, {}},
        {"a lone separator pair names no server", {u"", {u"\\\\", u"//", {}, {}}}, {}},
        {"a place named twice is tried once, whatever its case",
         {u"C:\\NDI", {u"c:\\ndi", u"C:\\NDI\\", {}, u"D:\\NDI"}},
         {u"C:\\NDI" + file, u"D:\\NDI" + file}},
    };
    for (const Case& c : cases) {
        const std::vector<std::u16string> got = NdiRuntimeCandidates(c.search);
        std::vector<std::string> gotNarrow, expectedNarrow;
        for (const auto& g : got) gotNarrow.push_back(Narrow(g));
        for (const auto& e : c.expected) expectedNarrow.push_back(Narrow(e));
        EXPECT_EQ(gotNarrow, expectedNarrow) << c.name;
    }
}

}  // namespace
}  // namespace cuewire
