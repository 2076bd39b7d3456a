#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "TestCanvas.h"
#include "video/win/GdiTextCanvas.h"
#include "video/win/PrivateFont.h"

namespace cuewire::test {
namespace {

// The two text boxes of the output (1280 x 720 and 1920 x 1080) and their cells.
struct Box {
    int width, height, cell;
};
constexpr Box kBoxes[] = {{1097, 120, 84}, {1645, 180, 126}};

constexpr uint32_t kUnwritten = 0xdeadbeef;

HINSTANCE Module() {
    return GetModuleHandleW(nullptr);
}

CanvasResult Draw(CGdiTextCanvas& canvas, std::u16string_view text, const Box& box, Canvas& out) {
    return canvas.DrawLine(text, box.cell, box.width, box.height, out.pixels.data());
}

long CountOf(const Canvas& canvas, uint32_t pixel) {
    return static_cast<long>(std::count(canvas.pixels.begin(), canvas.pixels.end(), pixel));
}

TEST(GdiTextCanvas, DrawsWhiteAntialiasedTextCentredOnBlack) {
    for (const Box& box : kBoxes) {
        SCOPED_TRACE(testing::Message() << box.width << "x" << box.height);
        CGdiTextCanvas canvas(nullptr, Module());
        Canvas out(box.width, box.height, kUnwritten);
        ASSERT_EQ(Draw(canvas, u"HIH HIH", box, out), CanvasResult::kDrawn);

        const Ink ink = MeasureInk(out);
        ASSERT_TRUE(ink.Any());
        EXPECT_GT(ink.white, 0);
        EXPECT_GT(ink.grey, 0) << "edges are not anti-aliased";
        // Every pixel was written, and untouched ones are exactly 0, not near-black.
        EXPECT_EQ(CountOf(out, kUnwritten), 0);
        EXPECT_EQ(ink.nonNeutral, 0);
        // H and I have even side bearings, so their ink centres like the line.
        EXPECT_NEAR(ink.left + ink.right, box.width - 1, 4);
        const int cellTop = (box.height - box.cell) / 2;
        EXPECT_GE(ink.top, cellTop);
        EXPECT_LT(ink.bottom, cellTop + box.cell);
    }
}

struct FontSeen {
    wchar_t face[LF_FACESIZE] = {};
    TEXTMETRICW metrics = {};
};

void NoteFont(void* context, HDC dc) {
    auto* seen = static_cast<FontSeen*>(context);
    GetTextFaceW(dc, LF_FACESIZE, seen->face);
    GetTextMetricsW(dc, &seen->metrics);
}

TEST(GdiTextCanvas, UsesTitleFaceOrBundledStandInAtTheAskedCellHeight) {
    CWindowDC screen(nullptr);
    const bool titleFaceInstalled = IsFontFamilyInstalled(screen.Get(), L"Franklin Gothic Medium");
    const std::wstring expectedFace =
        titleFaceInstalled ? L"Franklin Gothic Medium" : L"Libre Franklin Medium";

    CGdiTextCanvas canvas(nullptr, Module());
    FontSeen seen;
    canvas.SetDrawnHookForTesting(NoteFont, &seen);
    for (const int cell : {84, 126}) {
        SCOPED_TRACE(cell);
        Canvas out(400, cell + 10);
        ASSERT_EQ(canvas.DrawLine(u"Cuewire", cell, out.width, out.height, out.pixels.data()),
                  CanvasResult::kDrawn);
        EXPECT_EQ(std::wstring(seen.face), expectedFace);
        EXPECT_EQ(seen.metrics.tmHeight, cell);
    }
}

// The face the font mapper gives for a request of `face` at `height` right now.
std::wstring MappedFace(const wchar_t* face, int height) {
    CWindowDC screen(nullptr);
    CMemoryDC dc(screen.Get());
    CFontObject font(CreateFontW(height, 0, 0, 0, 0, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_ROMAN, face));
    CSelection selection(dc.Get(), font.Get());
    wchar_t mapped[LF_FACESIZE] = {};
    GetTextFaceW(dc.Get(), LF_FACESIZE, mapped);
    return mapped;
}

TEST(GdiTextCanvas, BundledFaceIsRegisteredOnceAndOnlyWhileTheCanvasLives) {
    {
        CWindowDC screen(nullptr);
        if (IsFontFamilyInstalled(screen.Get(), L"Franklin Gothic Medium")) {
            GTEST_SKIP() << "the title face is installed; nothing is bundled in";
        }
    }
    constexpr int kRegistrations = static_cast<int>(GdiKind::kPrivateFont);
    const GdiSnapshot before = GdiSnapshot::Take();
    const auto registered = [&] {
        const GdiKindCounts& now = GdiCounts(GdiKind::kPrivateFont);
        return now.created - before.kinds[kRegistrations].created;
    };
    const auto removed = [&] {
        const GdiKindCounts& now = GdiCounts(GdiKind::kPrivateFont);
        return now.released - before.kinds[kRegistrations].released;
    };
    {
        CGdiTextCanvas canvas(nullptr, Module());
        EXPECT_EQ(registered(), 0) << "registered before it was needed";
        Canvas out(200, 50);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(canvas.DrawLine(u"x", 40, out.width, out.height, out.pixels.data()),
                      CanvasResult::kDrawn);
        }
        EXPECT_EQ(registered(), 1);
        // A height no earlier request used: Wine's mapper remembers its answers.
        EXPECT_EQ(MappedFace(L"Libre Franklin Medium", 43), L"Libre Franklin Medium");
    }
    // Wine 8's RemoveFontMemResourceEx is a stub, so the face itself may stay.
    EXPECT_EQ(removed(), 1);
    EXPECT_EQ(GdiCounts(GdiKind::kPrivateFont).failedReleases,
              before.kinds[kRegistrations].failedReleases);
}

TEST(IsFontFamilyInstalled, FindsInstalledFamiliesOnly) {
    CWindowDC screen(nullptr);
    // Whatever the system's GUI font maps to is installed by definition.
    CMemoryDC dc(screen.Get());
    SelectObject(dc.Get(), GetStockObject(DEFAULT_GUI_FONT));
    wchar_t guiFace[LF_FACESIZE] = {};
    ASSERT_GT(GetTextFaceW(dc.Get(), LF_FACESIZE, guiFace), 0);

    EXPECT_TRUE(IsFontFamilyInstalled(screen.Get(), guiFace));
    EXPECT_FALSE(IsFontFamilyInstalled(screen.Get(), L"Cuewire No Such Family"));
}

// Low letters with two capitals in the very middle.
std::u16string CapitalsInTheMiddle(size_t codeUnits) {
    const std::u16string half((codeUnits - 2) / 2, u'x');
    return half + u"HH" + half;
}

TEST(GdiTextCanvas, LongLineIsCutAtBothEdgesAroundItsMiddle) {
    // Wine's DrawTextW lays a line out 1024 code units at a time, so beyond that
    // only Windows keeps the middle of the whole line in the middle of the box;
    // the 10,000-unit line still has to be cut at both edges.
    struct Case {
        size_t codeUnits;
        bool middleCentred;
    };
    for (const Case& c : {Case{1000, true}, Case{10000, false}}) {
        const std::u16string text = CapitalsInTheMiddle(c.codeUnits);
        for (const Box& box : kBoxes) {
            SCOPED_TRACE(testing::Message()
                         << c.codeUnits << " units in " << box.width << "x" << box.height);
            CGdiTextCanvas canvas(nullptr, Module());
            Canvas out(box.width, box.height, kUnwritten);
            ASSERT_EQ(Draw(canvas, text, box, out), CanvasResult::kDrawn);

            const Ink all = MeasureInk(out);
            ASSERT_TRUE(all.Any());
            EXPECT_LE(all.left, 3) << "not cut at the left edge";
            EXPECT_GE(all.right, box.width - 4) << "not cut at the right edge";
            if (!c.middleCentred) {
                continue;
            }
            // Whatever rises above the low letters is the capitals.
            const Ink low = MeasureInk(out, 0, box.width / 4);
            const Ink capitals = MeasureInk(out, 0, box.width, 0, low.top - 2);
            ASSERT_TRUE(capitals.Any()) << "the middle of the line is not visible";
            EXPECT_NEAR(capitals.left + capitals.right, box.width - 1, 6);
            EXPECT_LT(capitals.right - capitals.left, 2 * box.cell);
        }
    }
}

TEST(GdiTextCanvas, EmptyTextGivesAnAllBlackCanvas) {
    const Box& box = kBoxes[0];
    CGdiTextCanvas canvas(nullptr, Module());
    Canvas out(box.width, box.height, kUnwritten);
    ASSERT_EQ(Draw(canvas, u"", box, out), CanvasResult::kDrawn);
    EXPECT_EQ(CountOf(out, 0), static_cast<long>(out.pixels.size()));
}

TEST(GdiTextCanvas, EmptyBoxMakesNoCanvasAndLeavesThePixels) {
    CGdiTextCanvas canvas(nullptr, Module());
    Canvas out(4, 4, kUnwritten);
    const GdiSnapshot before = GdiSnapshot::Take();
    const std::pair<int, int> emptyBoxes[] = {{0, 4}, {4, 0}, {-4, 4}};
    for (const auto& [width, height] : emptyBoxes) {
        EXPECT_EQ(canvas.DrawLine(u"x", 10, width, height, out.pixels.data()),
                  CanvasResult::kNoCanvas);
    }
    EXPECT_EQ(CountOf(out, kUnwritten), 16);
    const GdiSnapshot after = GdiSnapshot::Take();
    for (int kind = 0; kind < static_cast<int>(GdiKind::kCount); ++kind) {
        EXPECT_EQ(after.kinds[kind].created, before.kinds[kind].created);
    }
}

// Text that stresses shaping, bidirectional layout and the single-line rules.
std::vector<std::u16string> AwkwardTexts() {
    std::u16string mixed;
    while (mixed.size() < 10000) {
        mixed += u"Go live \U0001F3AC \u05E9\u05DC\u05D5\u05DD e\u0301\u0308 \t\r\n";
    }
    mixed.resize(10000);
    return {
        u"A",
        u"The quick brown fox jumps over the la",  // 37 code units
        std::u16string(10000, u'x'),
        mixed,
        u"\U0001F600\U0001F3AC smile",                         // surrogate pairs
        u"\xD83D lone \xDE00 halves \xD83D",                   // unpaired surrogates
        u"e\u0301\u0302\u0303\u0304 a\u0308",                  // combining marks
        u"a" + std::u16string(2000, u'\u0301'),                // one base, many marks
        u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD",  // Hebrew
        u"\u0645\u0631\u062D\u0628\u0627 abc 123",             // Arabic mixed with Latin
        u"\u202Eoverride\u202C \u200Fmark",
        std::u16string(u"nul\0inside", 10),
        u"\t\r\n\x1b\x7f\x85 &&x &y",
    };
}

TEST(GdiTextCanvas, AwkwardTextDrawsAndLeavesNoGdiObjectBehind) {
    const std::vector<std::u16string> texts = AwkwardTexts();
    HiddenWindow window;
    ASSERT_NE(window.Get(), nullptr);
    CGdiTextCanvas screenCanvas(nullptr, Module());
    CGdiTextCanvas windowCanvas(window.Get(), Module());
    const Box& box = kBoxes[0];
    Canvas out(box.width, box.height);

    PROCESS_MEMORY_COUNTERS memoryBefore = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &memoryBefore, sizeof(memoryBefore));
    const GdiSnapshot before = GdiSnapshot::Take();
    constexpr int kDrawings = 2000;
    for (int i = 0; i < kDrawings; ++i) {
        CGdiTextCanvas& canvas = i % 2 ? windowCanvas : screenCanvas;
        const size_t which = static_cast<size_t>(i) % texts.size();
        ASSERT_EQ(Draw(canvas, texts[which], box, out), CanvasResult::kDrawn) << "text " << which;
    }
    const GdiSnapshot after = GdiSnapshot::Take();
    PROCESS_MEMORY_COUNTERS memoryAfter = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &memoryAfter, sizeof(memoryAfter));

    // Each drawing makes one of each; the bundled face is registered once a canvas.
    const char* names[] = {"window DC", "memory DC", "bitmap", "font"};
    for (int kind = 0; kind <= static_cast<int>(GdiKind::kFont); ++kind) {
        SCOPED_TRACE(names[kind]);
        const long created = after.kinds[kind].created - before.kinds[kind].created;
        const long released = after.kinds[kind].released - before.kinds[kind].released;
        EXPECT_EQ(created, kDrawings);
        EXPECT_EQ(released, created);
        EXPECT_EQ(after.kinds[kind].failedReleases, before.kinds[kind].failedReleases);
    }
    // One leaked canvas bitmap a drawing would be half a megabyte each.
    const long long grownKiB = (static_cast<long long>(memoryAfter.WorkingSetSize) -
                                static_cast<long long>(memoryBefore.WorkingSetSize)) /
                               1024;
    std::printf("working set growth over %d drawings: %lld KiB\n", kDrawings, grownKiB);
    EXPECT_LT(grownKiB, 64 * 1024);
}

TEST(GdiTextCanvas, SwitchesFontSmoothingOnOnlyWhenItIsOff) {
    BOOL original = FALSE;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETFONTSMOOTHING, 0, &original, 0));
    HiddenWindow window;
    ASSERT_NE(window.Get(), nullptr);
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETFONTSMOOTHING, FALSE, nullptr, SPIF_SENDCHANGE));
    PumpMessages();
    window.ResetBroadcasts();

    CGdiTextCanvas canvas(nullptr, Module());
    const Box& box = kBoxes[0];
    Canvas out(box.width, box.height);
    ASSERT_EQ(Draw(canvas, u"HIH", box, out), CanvasResult::kDrawn);
    PumpMessages();
    BOOL smoothing = FALSE;
    SystemParametersInfoW(SPI_GETFONTSMOOTHING, 0, &smoothing, 0);
    EXPECT_TRUE(smoothing);
    EXPECT_EQ(window.SmoothingBroadcasts(), 1);
    EXPECT_GT(MeasureInk(out).grey, 0);

    for (int i = 0; i < 5; ++i) {
        Draw(canvas, u"HIH", box, out);
    }
    PumpMessages();
    EXPECT_EQ(window.SmoothingBroadcasts(), 1) << "a drawing broadcast again while on";

    SystemParametersInfoW(SPI_SETFONTSMOOTHING, original, nullptr,
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

}  // namespace
}  // namespace cuewire::test
