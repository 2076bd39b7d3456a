// What the composition puts into each frame, driven through the output as the
// panel drives it.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/fakes/FakeNdiRuntime.h"
#include "tests/fakes/FakePorts.h"
#include "tests/fakes/OutputRig.h"
#include "video/PixelFormat.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;

constexpr uint32_t kSplashPixel = 0x80ffffff;  // half-transparent white banner

class ComposerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pictures.Add(IDB_SPLASH, 720, 276, 32, kSplashPixel);
        pictures.Add(IDB_BACKGROUND, 480, 270, 32, 0x00203040);
        ASSERT_TRUE(rig.Start());
    }

    // A change of video mode as the panel makes it, sender and all; the first
    // one publishes, with the start-up period over at once.
    void ApplyMode(int width, int height) {
        w = width;
        h = height;
        if (!published) {
            rig.PublishAndRun(ModeOf(w, h));
            published = true;
        } else {
            rig.ApplyMode(ModeOf(w, h));
        }
    }

    void Compose(std::u16string_view live, bool pending, bool announce = false) {
        pending ? rig.ShowText(live, announce) : rig.Clear(live, announce);
    }

    uint32_t Pixel(int x, int y) { return rig.Pixel(x, y); }

    FakeNdiRuntime runtime;
    CountingFrameBuffers frameBuffers;
    BlockTextCanvas canvas;
    MemoryPictures pictures;
    RecordingWait wait;
    RecordingFollower link{&runtime.sendsWithFrame};
    RecordingPreviewWindow preview;
    CountingFrameBuffers surfaceBlocks;
    COutputRig rig{
        {runtime, frameBuffers, canvas, pictures, &wait, &link, &preview, &surfaceBlocks}};
    const COutput& output = rig.output;
    bool published = false;
    int w = 1280;
    int h = 720;
};

TEST_F(ComposerTest, TextFrameHasTheKeyedBoxAtItsPlaceAndNothingElse) {
    struct Case {
        int w, h, left, right, top, bottom, cell;
    } cases[] = {{1280, 720, 91, 1187, 552, 671, 84}, {1920, 1080, 137, 1781, 828, 1007, 126}};
    for (const Case& c : cases) {
        ApplyMode(c.w, c.h);
        Compose(u"Hello", true);
        EXPECT_EQ(canvas.cellHeights.back(), c.cell);
        int opaque = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t p = Pixel(x, y);
                const bool inBox = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
                if (!inBox) {
                    ASSERT_EQ(p, 0u) << "outside the box at " << x << "," << y;
                } else if (p >> 24 == 0xff) {
                    ++opaque;  // drawn text keeps its colour and becomes opaque
                    ASSERT_TRUE(p == 0xffffffff || p == 0xff808080) << std::hex << p;
                } else {
                    ASSERT_EQ(p, kTextBoxBlack) << "untouched box pixel at " << x << "," << y;
                }
            }
        }
        EXPECT_EQ(opaque, 5 * (c.cell / 2) * c.cell);
        EXPECT_EQ(Pixel(c.left, c.top), kTextBoxBlack);
        EXPECT_EQ(Pixel(w / 2, c.top + (c.bottom - c.top) / 2), 0xffffffffu);
        EXPECT_FALSE(output.TextQueued());
        EXPECT_TRUE(output.TextShown());
    }
}

TEST_F(ComposerTest, FrameWithoutTextIsTransparentBlackEverywhere) {
    ApplyMode(1280, 720);
    Compose(u"Hello", true);
    Compose(u"Hello", false);
    for (int i = 0; i < w * h; ++i) {
        ASSERT_EQ(rig.Pixels()[i], 0u) << i;
    }
    EXPECT_FALSE(output.TextShown());
}

TEST_F(ComposerTest, StartupFrameBlendsTheSplashCentredAfterItsWaitsAndKeepsThePendingText) {
    ApplyMode(1280, 720);
    rig.output.ArmStartupFrame();
    wait.waits.clear();
    Compose(u"Later", true, /*announce=*/true);
    EXPECT_EQ(wait.waits, (std::vector<int>{500, 500, 500}));
    EXPECT_EQ(Pixel(280, 222), 0x80808080u);  // white at alpha 128 over transparent black
    EXPECT_EQ(Pixel(999, 497), 0x80808080u);
    EXPECT_EQ(Pixel(279, 222), 0u);
    EXPECT_EQ(Pixel(1000, 497), 0u);
    EXPECT_EQ(Pixel(280, 498), 0u);
    EXPECT_TRUE(output.TextQueued());
    EXPECT_FALSE(output.TextShown());
    EXPECT_TRUE(link.events.empty()) << "the start-up frame tells the link nothing";
}

TEST_F(ComposerTest, LinkHearsOfEachCompositionAfterItIsDrawnAndBeforeItIsSent) {
    ApplyMode(1280, 720);
    const int sendsAtMode = runtime.sendsWithFrame;
    Compose(u"Hi", true, true);
    Compose(u"Hi", false, true);
    Compose(u"Quiet", true, false);
    ASSERT_EQ(link.events.size(), 2u);
    EXPECT_FALSE(link.events[0].clear);
    EXPECT_EQ(link.events[0].text, u"Hi");
    EXPECT_EQ(link.events[0].sendsBefore, sendsAtMode);
    EXPECT_TRUE(link.events[1].clear);
    EXPECT_EQ(link.events[1].sendsBefore, sendsAtMode + 1);
    EXPECT_EQ(runtime.sendsWithFrame, sendsAtMode + 3);
}

TEST_F(ComposerTest, ControlCharactersAreDrawnAsSpacesButReachTheLinkUnchanged) {
    using namespace std::string_literals;
    struct Case {
        std::u16string live, drawn;
    };
    const Case cases[] = {
        {u"Name\tTitle\r\n"s, u"Name Title  "s},
        {u"\0\x01\x1b\x1f|\x7f\x85\x9f"s, u"    |   "s},
        // Printable neighbours of the controls, marks, bidi controls and
        // surrogates, paired or not, are the renderer's business.
        {u" ~\u00a0\u00e9e\u0301\u200f\u202e\U0001F600\xd800x\xdfff"s,
         u" ~\u00a0\u00e9e\u0301\u200f\u202e\U0001F600\xd800x\xdfff"s},
    };
    ApplyMode(1280, 720);
    for (const Case& c : cases) {
        canvas.texts.clear();
        link.events.clear();
        Compose(c.live, true, true);
        ASSERT_EQ(canvas.texts.size(), 1u);
        EXPECT_EQ(canvas.texts[0], c.drawn);
        ASSERT_EQ(link.events.size(), 1u);
        EXPECT_EQ(link.events[0].text, c.live);
    }
}

TEST_F(ComposerTest, CompositionsAlternateBuffersAndNeverWriteTheOneHandedOver) {
    ApplyMode(1280, 720);
    const uint8_t* previous = nullptr;
    for (int i = 0; i < 6; ++i) {
        Compose(i % 2 ? u"" : u"Cue", i % 2 == 0);
        rig.output.Resend();  // the once-a-second re-send in between
        ASSERT_NE(runtime.lastSentFrame.p_data, previous);
        previous = runtime.lastSentFrame.p_data;
    }
    runtime.CheckLastSentBufferUntouched();
}

TEST_F(ComposerTest, WithoutSenderTheFrameIsComposedPreviewedAndBroadcastButNotSent) {
    // A copy without a number publishes nothing.
    rig.output.ApplyMode(ModeOf(1280, 720), {}, std::nullopt);
    const int shows = preview.shows;
    Compose(u"Offline", true, true);
    EXPECT_EQ(runtime.sendsWithFrame, 0);
    EXPECT_EQ(preview.shows, shows + 1);
    EXPECT_EQ(link.events.size(), 1u);
    EXPECT_EQ(Pixel(640, 611), 0xffffffffu);
}

TEST_F(ComposerTest, CanvasFailuresLeaveTheBoxAsItWas) {
    ApplyMode(1280, 720);
    canvas.result = CanvasResult::kNoCanvas;
    Compose(u"Lost", true);
    EXPECT_EQ(Pixel(91, 552), kOpaqueBlack) << "the pre-fill shows unchanged";
    EXPECT_TRUE(output.TextShown());
    EXPECT_FALSE(output.TextQueued());

    canvas.result = CanvasResult::kIncomplete;
    Compose(u"Short", true);
    EXPECT_EQ(Pixel(91, 552), 0u) << "a short read-back is not keyed";
    EXPECT_EQ(Pixel(640, 611), kGlyphWhite);
}

TEST_F(ComposerTest, PreviewGetsTheProgrammeEvenBeforeTheFirstMode) {
    // Before the first mode the descriptors are empty and the text box has no
    // size; the preview still shows the programme, the background picture, at
    // the size the pictures were loaded for.
    const int shows = preview.shows;
    Compose(u"Early", true);
    EXPECT_EQ(preview.shows, shows + 1);
    EXPECT_EQ(preview.lastDescription.width, 640);
    EXPECT_EQ(preview.lastDescription.height, -360);
    const auto* shown = reinterpret_cast<const uint32_t*>(preview.lastBits);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown[0], 0x00203040u);
    EXPECT_EQ(shown[359 * 640 + 639], 0x00203040u);
}

TEST_F(ComposerTest, CompositionBeforeAnyModeWritesNothingIntoTheFrame) {
    // Escape or an empty slot in the first seconds: the programme is still empty.
    const int shows = preview.shows;
    Compose(u"", false);
    for (int i = 0; i < 1280 * 720; i += 997) {
        ASSERT_EQ(rig.Pixels()[i], 0u);
    }
    EXPECT_EQ(preview.shows, shows + 1);
}

TEST_F(ComposerTest, StartupPicturesReachThePreviewScaledToTheOutput) {
    EXPECT_EQ(preview.shows, 1);
    EXPECT_EQ(preview.lastDescription.width, 640);
    const auto* shown = reinterpret_cast<const uint32_t*>(preview.lastBits);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown[0], 0x00203040u);
    EXPECT_EQ(output.Composer().Background().Width(), 1280);
    EXPECT_EQ(output.Composer().Background().Pixels()[0], 0x00203040u);
    EXPECT_EQ(output.Composer().Splash().Width(), 720);
}

TEST(ComposerMissingPictures, TextStillReachesTheOutputWithoutTheBackgroundPicture) {
    FakeNdiRuntime runtime;
    CountingFrameBuffers frameBuffers;
    BlockTextCanvas canvas;
    MemoryPictures none;
    COutputRig rig{{runtime, frameBuffers, canvas, none}};
    ASSERT_TRUE(rig.Start());
    rig.Publish(ModeOf(1280, 720));  // an empty splash blends nothing
    rig.output.EndStartupPeriod({});
    rig.ShowText(u"Still here");
    EXPECT_EQ(rig.Pixel(91, 552), kTextBoxBlack);
    EXPECT_EQ(rig.Pixel(0, 0), 0u);
}

}  // namespace
}  // namespace cuewire
