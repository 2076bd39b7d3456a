#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "TestCanvas.h"
#include "res/resource.h"
#include "video/win/DWriteTextCanvas.h"

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

CanvasResult Draw(CDWriteTextCanvas& canvas, std::u16string_view text, const Box& box,
                  Canvas& out) {
    return canvas.DrawLine(text, box.cell, box.width, box.height, out.pixels.data());
}

long CountOf(const Canvas& canvas, uint32_t pixel) {
    return static_cast<long>(std::count(canvas.pixels.begin(), canvas.pixels.end(), pixel));
}

// Rows and columns holding pixels at least half lit: the outline without its
// antialiased fringe, which two renderers draw differently.
Ink SolidInk(const Canvas& canvas) {
    Canvas solid(canvas.width, canvas.height);
    for (size_t i = 0; i < canvas.pixels.size(); ++i) {
        solid.pixels[i] = (canvas.pixels[i] & 0xff) >= 0x80 ? 0x00ffffff : 0;
    }
    return MeasureInk(solid);
}

TEST(DWriteTextCanvas, DrawsWhiteAntialiasedTextCentredOnBlack) {
    for (const Box& box : kBoxes) {
        SCOPED_TRACE(testing::Message() << box.width << "x" << box.height);
        CDWriteTextCanvas canvas(Module());
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
        EXPECT_EQ(canvas.LastCellHeight(), box.cell);
    }
}

// The line as GDI drew it before: DrawTextW, centred both ways, in the bundled
// face asked for by its cell height.
Canvas DrawnByGdi(const wchar_t* text, const Box& box) {
    Canvas out(box.width, box.height);
    HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(IDR_LIBRE_FRANKLIN), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(Module(), found) : nullptr;
    DWORD fonts = 0;
    HANDLE registration =
        loaded ? AddFontMemResourceEx(LockResource(loaded), SizeofResource(Module(), found),
                                      nullptr, &fonts)
               : nullptr;
    if (!registration) {
        return out;
    }
    {
        CWindowDC screen(nullptr);
        CMemoryDC dc(screen.Get());
        BITMAPINFO format = {};
        format.bmiHeader.biSize = sizeof(format.bmiHeader);
        format.bmiHeader.biWidth = box.width;
        format.bmiHeader.biHeight = -box.height;  // top-down rows
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        CBitmapObject bitmap(
            CreateDIBSection(dc.Get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
        CFontObject font(CreateFontW(box.cell, 0, 0, 0, 0, FALSE, FALSE, FALSE, 0,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                     FF_ROMAN, L"Libre Franklin Medium"));
        CSelection bitmapSelection(dc.Get(), bitmap.Get());
        CSelection fontSelection(dc.Get(), font.Get());
        SetBkMode(dc.Get(), TRANSPARENT);
        SetTextColor(dc.Get(), RGB(255, 255, 255));
        RECT rect = {0, 0, box.width, box.height};
        DrawTextW(dc.Get(), text, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
        GdiFlush();
        if (bits) {
            const auto* words = static_cast<const uint32_t*>(bits);
            std::transform(words, words + out.pixels.size(), out.pixels.begin(),
                           [](uint32_t p) { return p & 0x00ffffff; });
        }
    }
    RemoveFontMemResourceEx(registration);
    return out;
}

TEST(DWriteTextCanvas, LatinLineKeepsTheFaceCapitalHeightAndPlaceItHadWithGdi) {
    CDWriteTextCanvas canvas(Module());
    for (const Box& box : kBoxes) {
        SCOPED_TRACE(box.cell);
        Canvas out(box.width, box.height);
        ASSERT_EQ(Draw(canvas, u"HEIGHT OF CAPITALS", box, out), CanvasResult::kDrawn);
        if (canvas.TitleFamily() == L"Franklin Gothic Medium") {
            GTEST_SKIP() << "the title face is installed; the bundled one is not used";
        }
        EXPECT_EQ(canvas.TitleFamily(), L"Libre Franklin");
        const Ink now = SolidInk(out);
        const Ink before = SolidInk(DrawnByGdi(L"HEIGHT OF CAPITALS", box));
        ASSERT_TRUE(now.Any());
        ASSERT_TRUE(before.Any()) << "GDI drew nothing to compare with";
        std::printf("cell %d: capitals rows %d-%d (GDI %d-%d), columns %d-%d (GDI %d-%d)\n",
                    box.cell, now.top, now.bottom, before.top, before.bottom, now.left, now.right,
                    before.left, before.right);
        EXPECT_NEAR(now.bottom - now.top, before.bottom - before.top, 1) << "capital height";
        EXPECT_NEAR(now.top, before.top, 1);
        EXPECT_NEAR(now.bottom, before.bottom, 1);
        EXPECT_NEAR(now.left, before.left, 3);
        EXPECT_NEAR(now.right, before.right, 3);
    }
}

TEST(DWriteTextCanvas, AmpersandIsDrawnAsTyped) {
    const Box& box = kBoxes[0];
    CDWriteTextCanvas canvas(Module());
    Canvas withAmpersand(box.width, box.height), without(box.width, box.height);
    ASSERT_EQ(Draw(canvas, u"Q&A", box, withAmpersand), CanvasResult::kDrawn);
    ASSERT_EQ(Draw(canvas, u"QA", box, without), CanvasResult::kDrawn);
    const Ink a = MeasureInk(withAmpersand), b = MeasureInk(without);
    // The ampersand is about half a cell wide; an underline would reach below.
    EXPECT_GT((a.right - a.left) - (b.right - b.left), box.cell / 3);
    EXPECT_LE(a.bottom, b.bottom + 1);
}

// Capitals as wide as the entry line lets an operator type, and longer.
TEST(DWriteTextCanvas, WideLineShrinksToFitDownToHalfTheCellThenIsCut) {
    const std::u16string capitals = u"WELCOME TO THE ANNUAL GENERAL MEETING";
    for (const Box& box : kBoxes) {
        SCOPED_TRACE(box.cell);
        CDWriteTextCanvas canvas(Module());
        Canvas out(box.width, box.height, kUnwritten);
        ASSERT_EQ(Draw(canvas, capitals, box, out), CanvasResult::kDrawn);
        const Ink ink = MeasureInk(out);
        EXPECT_LT(canvas.LastCellHeight(), box.cell);
        EXPECT_GE(canvas.LastCellHeight(), box.cell / 2);
        EXPECT_GT(ink.left, 0) << "cut at the left edge";
        EXPECT_LT(ink.right, box.width - 1) << "cut at the right edge";
        // Shrunk no more than it had to: it still spans most of the box.
        EXPECT_GT(ink.right - ink.left, box.width * 9 / 10);

        // Twice as long cannot fit at half the cell: it is cut at both edges.
        Canvas cut(box.width, box.height);
        ASSERT_EQ(Draw(canvas, capitals + u" " + capitals + u" " + capitals, box, cut),
                  CanvasResult::kDrawn);
        EXPECT_EQ(canvas.LastCellHeight(), box.cell / 2);
        const Ink cutInk = MeasureInk(cut);
        EXPECT_LE(cutInk.left, 3);
        EXPECT_GE(cutInk.right, box.width - 4);
    }
}

// Low letters with two capitals in the very middle.
std::u16string CapitalsInTheMiddle(size_t codeUnits) {
    const std::u16string half((codeUnits - 2) / 2, u'x');
    return half + u"HH" + half;
}

TEST(DWriteTextCanvas, LongLineIsCutAtBothEdgesAroundItsMiddle) {
    for (const size_t codeUnits : {size_t(1000), size_t(10000)}) {
        const std::u16string text = CapitalsInTheMiddle(codeUnits);
        for (const Box& box : kBoxes) {
            SCOPED_TRACE(testing::Message()
                         << codeUnits << " units in " << box.width << "x" << box.height);
            CDWriteTextCanvas canvas(Module());
            Canvas out(box.width, box.height, kUnwritten);
            ASSERT_EQ(Draw(canvas, text, box, out), CanvasResult::kDrawn);

            const Ink all = MeasureInk(out);
            ASSERT_TRUE(all.Any());
            EXPECT_LE(all.left, 3) << "not cut at the left edge";
            EXPECT_GE(all.right, box.width - 4) << "not cut at the right edge";
            // Whatever rises above the low letters is the capitals.
            const Ink low = MeasureInk(out, 0, box.width / 4);
            const Ink capitals = MeasureInk(out, 0, box.width, 0, low.top - 2);
            ASSERT_TRUE(capitals.Any()) << "the middle of the line is not visible";
            EXPECT_NEAR(capitals.left + capitals.right, box.width - 1, 6);
            EXPECT_LT(capitals.right - capitals.left, box.cell);
        }
    }
}

struct ScriptLine {
    const char* script;
    std::u16string text;
};

// One line in each script the output has to carry, and a mixed one.
std::vector<ScriptLine> ScriptLines() {
    return {
        {"Latin with Vietnamese", u"Ti\u1EBFng Vi\u1EC7t c\u00F3 d\u1EA5u"},
        {"Cyrillic", u"\u041F\u0440\u0438\u0432\u0435\u0442 \u043C\u0438\u0440"},
        {"Chinese", u"\u4F60\u597D\u4E16\u754C"},
        {"Japanese", u"\u3053\u3093\u306B\u3061\u306F\u4E16\u754C"},
        {"Korean", u"\uC548\uB155\uD558\uC138\uC694"},
        {"Arabic", u"\u0645\u0631\u062D\u0628\u0627"},
        {"Hebrew", u"\u05E9\u05DC\u05D5\u05DD"},
        {"Devanagari", u"\u0928\u092E\u0938\u094D\u0924\u0947"},
        {"Thai", u"\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35"},
        {"mixed", u"Caf\u00E9 \u6771\u4EAC \u0645\u0631\u062D\u0628\u0627 2026"},
    };
}

TEST(DWriteTextCanvas, EveryScriptIsDrawnInRealGlyphsNotMissingGlyphBoxes) {
    const Box& box = kBoxes[0];
    CDWriteTextCanvas canvas(Module());
    for (const ScriptLine& line : ScriptLines()) {
        SCOPED_TRACE(line.script);
        Canvas out(box.width, box.height), boxes(box.width, box.height);
        ASSERT_EQ(Draw(canvas, line.text, box, out), CanvasResult::kDrawn);
        ASSERT_EQ(Draw(canvas, std::u16string(line.text.size(), u'\uE000'), box, boxes),
                  CanvasResult::kDrawn);
        EXPECT_TRUE(MeasureInk(out).Any());
        EXPECT_TRUE(out.pixels != boxes.pixels) << "drawn as missing-glyph boxes";
    }
}

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(DWriteTextCanvas, GreekIsDrawnInRealGlyphs) {
    if (UnderWine()) {
        GTEST_SKIP() << "Wine 8's system font fallback has no entry for Greek: its letters "
                        "are missing-glyph boxes there";
    }
    const Box& box = kBoxes[0];
    const std::u16string greek = u"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1";
    CDWriteTextCanvas canvas(Module());
    Canvas out(box.width, box.height), boxes(box.width, box.height);
    ASSERT_EQ(Draw(canvas, greek, box, out), CanvasResult::kDrawn);
    ASSERT_EQ(Draw(canvas, std::u16string(greek.size(), u'\uE000'), box, boxes),
              CanvasResult::kDrawn);
    EXPECT_TRUE(out.pixels != boxes.pixels) << "drawn as missing-glyph boxes";
}

TEST(DWriteTextCanvas, HardLineBreaksAreDrawnAsSpacesOnOneLine) {
    const Box& box = kBoxes[0];
    CDWriteTextCanvas canvas(Module());
    Canvas spaced(box.width, box.height), broken(box.width, box.height);
    ASSERT_EQ(Draw(canvas, u"TOP ONE TWO THREE FOUR FIVE", box, spaced), CanvasResult::kDrawn);
    for (const std::u16string& text :
         {std::u16string(u"TOP\nONE\rTWO\u2028THREE\u2029FOUR\u0085FIVE"),
          std::u16string(u"TOP\vONE\fTWO THREE FOUR FIVE")}) {
        ASSERT_EQ(Draw(canvas, text, box, broken), CanvasResult::kDrawn);
        EXPECT_TRUE(broken.pixels == spaced.pixels);
    }
}

TEST(DWriteTextCanvas, ArabicLettersJoin) {
    const Box& box = kBoxes[0];
    CDWriteTextCanvas canvas(Module());
    Canvas joined(box.width, box.height), isolated(box.width, box.height);
    // The word's letters, and the same letters in their isolated presentation forms.
    ASSERT_EQ(Draw(canvas, u"\u0645\u0631\u062D\u0628\u0627", box, joined), CanvasResult::kDrawn);
    ASSERT_EQ(Draw(canvas, u"\uFEE1\uFEAD\uFEA1\uFE8F\uFE8D", box, isolated), CanvasResult::kDrawn);
    EXPECT_TRUE(joined.pixels != isolated.pixels);
    const Ink a = MeasureInk(joined), b = MeasureInk(isolated);
    EXPECT_LT(a.right - a.left, b.right - b.left) << "joined letters take less room";
}

// The ink of each group of columns parted by empty ones, left to right: one
// entry a glyph where glyphs do not touch.
std::vector<long> InkOfGlyphs(const Canvas& canvas) {
    std::vector<long> glyphs;
    bool inGlyph = false;
    for (int x = 0; x < canvas.width; ++x) {
        long column = 0;
        for (int y = 0; y < canvas.height; ++y) {
            column += canvas.At(x, y) & 0xff;
        }
        if (column > 0 && !inGlyph) {
            glyphs.push_back(0);
        }
        inGlyph = column > 0;
        if (inGlyph) {
            glyphs.back() += column;
        }
    }
    return glyphs;
}

TEST(DWriteTextCanvas, RightToLeftWordReadsRightToLeft) {
    // An Alef typed first and three Mems: drawn right to left, the Alef is the
    // rightmost glyph.
    const Box& box = kBoxes[0];
    CDWriteTextCanvas canvas(Module());
    Canvas alef(box.width, box.height), mem(box.width, box.height), word(box.width, box.height);
    ASSERT_EQ(Draw(canvas, u"\u05D0", box, alef), CanvasResult::kDrawn);
    ASSERT_EQ(Draw(canvas, u"\u05DE", box, mem), CanvasResult::kDrawn);
    ASSERT_EQ(Draw(canvas, u"\u05D0\u05DE\u05DE\u05DE", box, word), CanvasResult::kDrawn);
    const std::vector<long> alefInk = InkOfGlyphs(alef), memInk = InkOfGlyphs(mem);
    const std::vector<long> glyphs = InkOfGlyphs(word);
    ASSERT_EQ(alefInk.size(), 1u);
    ASSERT_EQ(memInk.size(), 1u);
    ASSERT_NE(alefInk[0], memInk[0]) << "the two letters cannot be told apart";
    ASSERT_EQ(glyphs.size(), 4u) << "the letters touch";
    // Antialiasing may shift a glyph by a fraction of a pixel: a little slack.
    EXPECT_NEAR(glyphs.back(), alefInk[0], alefInk[0] / 100) << "the Alef is not rightmost";
    EXPECT_NEAR(glyphs.front(), memInk[0], memInk[0] / 100);
}

TEST(DWriteTextCanvas, EmptyTextGivesAnAllBlackCanvas) {
    const Box& box = kBoxes[0];
    CDWriteTextCanvas canvas(Module());
    Canvas out(box.width, box.height, kUnwritten);
    ASSERT_EQ(Draw(canvas, u"", box, out), CanvasResult::kDrawn);
    EXPECT_EQ(CountOf(out, 0), static_cast<long>(out.pixels.size()));
}

TEST(DWriteTextCanvas, EmptyBoxMakesNoCanvasAndLeavesThePixels) {
    CDWriteTextCanvas canvas(Module());
    Canvas out(4, 4, kUnwritten);
    const std::pair<int, int> emptyBoxes[] = {{0, 4}, {4, 0}, {-4, 4}};
    for (const auto& [width, height] : emptyBoxes) {
        EXPECT_EQ(canvas.DrawLine(u"x", 10, width, height, out.pixels.data()),
                  CanvasResult::kNoCanvas);
    }
    EXPECT_EQ(CountOf(out, kUnwritten), 16);
}

TEST(DWriteTextCanvas, ChangingTheBoxLeavesNothingOfTheLastLine) {
    // The coverage buffer is kept and sized again: a line drawn after a larger box
    // and a longer line must come out as on a fresh canvas.
    CDWriteTextCanvas reused(Module());
    Canvas large(kBoxes[1].width, kBoxes[1].height), small(kBoxes[0].width, kBoxes[0].height);
    ASSERT_EQ(Draw(reused, CapitalsInTheMiddle(200), kBoxes[1], large), CanvasResult::kDrawn);
    ASSERT_EQ(Draw(reused, u"Go", kBoxes[0], small), CanvasResult::kDrawn);
    ASSERT_EQ(Draw(reused, u"Go", kBoxes[0], small), CanvasResult::kDrawn);

    CDWriteTextCanvas fresh(Module());
    Canvas expected(kBoxes[0].width, kBoxes[0].height);
    ASSERT_EQ(Draw(fresh, u"Go", kBoxes[0], expected), CanvasResult::kDrawn);
    EXPECT_TRUE(small.pixels == expected.pixels);
}

// Glyphs are rasterised once and kept; a line drawn from kept glyphs, or after
// the cache has been filled and emptied, must be the line a fresh canvas draws.
TEST(DWriteTextCanvas, KeptGlyphsDrawTheLineAFreshCanvasDraws) {
    const std::u16string lines[] = {
        u"Next: the weather with Anna Lindqvist",
        u"AV Wa To Yo fi ñ ệ",
        u"Café 東京 مرحبا 2026",
        u"שלום עולם",
        u"नमस्ते दुनिया",
        u"WELCOME TO THE ANNUAL GENERAL MEETING",
    };
    // Over a thousand ideographs at 1080 fill the cache more than once.
    std::vector<std::u16string> filler;
    for (char16_t c = 0x4e00; c < 0x4e00 + 1200; c += 30) {
        std::u16string line;
        for (char16_t k = 0; k < 30; ++k) {
            line += char16_t(c + k);
        }
        filler.push_back(line);
    }

    CDWriteTextCanvas kept(Module());
    for (const Box& box : kBoxes) {
        Canvas out(box.width, box.height);
        for (const std::u16string& line : lines) {
            ASSERT_EQ(Draw(kept, line, box, out), CanvasResult::kDrawn);
        }
    }
    for (const bool afterFilling : {false, true}) {
        if (afterFilling) {
            Canvas out(kBoxes[1].width, kBoxes[1].height);
            for (const std::u16string& line : filler) {
                ASSERT_EQ(Draw(kept, line, kBoxes[1], out), CanvasResult::kDrawn);
            }
        }
        for (const Box& box : kBoxes) {
            for (const std::u16string& line : lines) {
                SCOPED_TRACE(testing::Message() << "box " << box.width << ", after filling "
                                                << afterFilling << ", line " << &line - lines);
                const long rasterisedBefore = kept.GlyphsRasterised();
                Canvas fromKept(box.width, box.height, kUnwritten);
                ASSERT_EQ(Draw(kept, line, box, fromKept), CanvasResult::kDrawn);
                if (!afterFilling) {
                    EXPECT_EQ(kept.GlyphsRasterised(), rasterisedBefore);
                }
                CDWriteTextCanvas fresh(Module());
                Canvas expected(box.width, box.height, kUnwritten);
                ASSERT_EQ(Draw(fresh, line, box, expected), CanvasResult::kDrawn);
                EXPECT_TRUE(fromKept.pixels == expected.pixels);
            }
        }
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

TEST(DWriteTextCanvas, AwkwardTextDrawsAndMemoryStaysFlat) {
    const std::vector<std::u16string> texts = AwkwardTexts();
    CDWriteTextCanvas canvas(Module());
    const Box& box = kBoxes[0];
    Canvas out(box.width, box.height);
    for (const std::u16string& text : texts) {  // the first drawing of each makes its caches
        ASSERT_EQ(Draw(canvas, text, box, out), CanvasResult::kDrawn);
    }

    PROCESS_MEMORY_COUNTERS memoryBefore = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &memoryBefore, sizeof(memoryBefore));
    constexpr int kDrawings = 1000;
    for (int i = 0; i < kDrawings; ++i) {
        const size_t which = static_cast<size_t>(i) % texts.size();
        ASSERT_EQ(Draw(canvas, texts[which], box, out), CanvasResult::kDrawn) << "text " << which;
    }
    PROCESS_MEMORY_COUNTERS memoryAfter = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &memoryAfter, sizeof(memoryAfter));

    // A leaked layout of the long lines would be hundreds of kilobytes each.
    const long long grownKiB = (static_cast<long long>(memoryAfter.WorkingSetSize) -
                                static_cast<long long>(memoryBefore.WorkingSetSize)) /
                               1024;
    std::printf("working set growth over %d drawings: %lld KiB\n", kDrawings, grownKiB);
    EXPECT_LT(grownKiB, 32 * 1024);
}

TEST(DWriteTextCanvas, LeavesTheSystemFontSmoothingAlone) {
    BOOL original = FALSE;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETFONTSMOOTHING, 0, &original, 0));
    HiddenWindow window;
    ASSERT_NE(window.Get(), nullptr);
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETFONTSMOOTHING, FALSE, nullptr, SPIF_SENDCHANGE));
    PumpMessages();
    window.ResetBroadcasts();

    CDWriteTextCanvas canvas(Module());
    const Box& box = kBoxes[0];
    Canvas out(box.width, box.height);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(Draw(canvas, u"HIH", box, out), CanvasResult::kDrawn);
    }
    PumpMessages();
    BOOL smoothing = TRUE;
    SystemParametersInfoW(SPI_GETFONTSMOOTHING, 0, &smoothing, 0);
    EXPECT_FALSE(smoothing) << "drawing switched the user's font smoothing on";
    EXPECT_EQ(window.SmoothingBroadcasts(), 0);
    EXPECT_GT(MeasureInk(out).grey, 0) << "antialiased all the same";

    SystemParametersInfoW(SPI_SETFONTSMOOTHING, original, nullptr, SPIF_SENDCHANGE);
}

}  // namespace
}  // namespace cuewire::test
