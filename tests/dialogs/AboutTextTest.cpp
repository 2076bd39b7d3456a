#include "dialogs/AboutText.h"

#include <gtest/gtest.h>

namespace cuewire {
namespace {

TEST(AboutVersionLine, FillsProgramVersionRuntimeNumberAndWordSize) {
    struct Case {
        const char16_t* programVersion;
        const char16_t* description;
        const char16_t* expected;
    };
    const Case cases[] = {
        // The runtime's description ends in its version number.
        {u"1.0.0.6", u"NDI SDK WIN64 00:36:18 Jun 17 2023 5.6.0",
         u"NDI\u00AE Cuewire, v1.0.0.6, NDI v5.6.0, x64"},
        // A description ending in a blank has an empty number.
        {u"1.0.0.6", u"NDI SDK 5.6.0 ", u"NDI\u00AE Cuewire, v1.0.0.6, NDI v, x64"},
        // No blank at all: the whole description is the number.
        {u"1.0.0.6", u"3.5.9.0", u"NDI\u00AE Cuewire, v1.0.0.6, NDI v3.5.9.0, x64"},
        // No runtime description (none loaded).
        {u"1.0.0.6", u"", u"NDI\u00AE Cuewire, v1.0.0.6, NDI v, x64"},
        // A program file without version information.
        {u"", u"NDI 5.6.0", u"NDI\u00AE Cuewire, v, NDI v5.6.0, x64"},
        // Several blanks in a row: only what follows the last one counts.
        {u"2.1.0.0", u"v  4.0", u"NDI\u00AE Cuewire, v2.1.0.0, NDI v4.0, x64"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AboutVersionLine(c.programVersion, c.description, 64), c.expected)
            << "description: " << std::u16string_view(c.description).size() << " units";
    }
}

TEST(AboutVersionLine, ShowsTheWordSizeItIsGiven) {
    EXPECT_EQ(AboutVersionLine(u"1.0.0.6", u"5.6.0", 32),
              u"NDI\u00AE Cuewire, v1.0.0.6, NDI v5.6.0, x32");
}

TEST(AboutVersionLine, KeepsNonAsciiTextOfTheDescription) {
    EXPECT_EQ(NdiVersionNumber(u"Version \u00E9t\u00E9-5.6"), u"\u00E9t\u00E9-5.6");
}

}  // namespace
}  // namespace cuewire
