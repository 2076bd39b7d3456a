#include "video/Composer.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakeNdiRuntime.h"
#include "tests/fakes/FakePorts.h"
#include "video/PixelFormat.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;

constexpr uint32_t kSplashPixel = 0x80ffffff;  // half-transparent white banner

class ComposerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pictures.Add(kSplashPictureId, 720, 276, 32, kSplashPixel);
        pictures.Add(kBackgroundPictureId, 480, 270, 32, 0x00203040);
        ASSERT_TRUE(sender.InitialiseNdi());
        ASSERT_TRUE(sender.AllocateFrames());
        preview.Setup();
        composer.LoadPictures(1280, 720);
    }

    // What a change of video mode does to the output side, sender included.
    void ApplyMode(int width, int height) {
        w = width;
        h = height;
        sender.DestroySender();
        sender.FillFrameDescriptors(w, h, 30000, 1200, true);
        composer.ApplySize(w, h);
        sender.CreateSender(0);
    }

    void Compose(std::u16string_view live, bool pending, bool announce = false) {
        pending ? composer.QueueText() : composer.DropQueuedText();
        composer.ComposeAndSend({w, h, live, announce});
    }

    uint32_t Pixel(int x, int y) { return sender.FramePixels(sender.CurrentFrame())[y * w + x]; }

    FakeNdiRuntime runtime;
    CountingFrameBuffers frameBuffers;
    CNdiSender sender{runtime, frameBuffers};
    BlockTextCanvas canvas;
    MemoryPictures pictures;
    RecordingWait wait;
    RecordingFollower link{&runtime.sendsWithFrame};
    RecordingPreview preview;
    CountingFrameBuffers surfaceBlocks;
    COutputComposer composer{sender, canvas, pictures, wait, link, preview, surfaceBlocks};
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
        EXPECT_FALSE(composer.TextQueued());
        EXPECT_TRUE(composer.TextShown());
    }
}

TEST_F(ComposerTest, FrameWithoutTextIsTransparentBlackEverywhere) {
    ApplyMode(1280, 720);
    Compose(u"Hello", true);
    Compose(u"Hello", false);
    for (int i = 0; i < w * h; ++i) {
        ASSERT_EQ(sender.FramePixels(sender.CurrentFrame())[i], 0u) << i;
    }
    EXPECT_FALSE(composer.TextShown());
}

TEST_F(ComposerTest, StartupFrameBlendsTheSplashCentredAfterItsWaitsAndKeepsThePendingText) {
    ApplyMode(1280, 720);
    composer.ArmStartupFrame();
    wait.waits.clear();
    Compose(u"Later", true, /*announce=*/true);
    EXPECT_EQ(wait.waits, (std::vector<int>{500, 500, 500}));
    EXPECT_EQ(Pixel(280, 222), 0x80808080u);  // white at alpha 128 over transparent black
    EXPECT_EQ(Pixel(999, 497), 0x80808080u);
    EXPECT_EQ(Pixel(279, 222), 0u);
    EXPECT_EQ(Pixel(1000, 497), 0u);
    EXPECT_EQ(Pixel(280, 498), 0u);
    EXPECT_TRUE(composer.TextQueued());
    EXPECT_FALSE(composer.TextShown());
    EXPECT_TRUE(link.events.empty()) << "the start-up frame tells the link nothing";
}

TEST_F(ComposerTest, LinkHearsOfEachCompositionAfterItIsDrawnAndBeforeItIsSent) {
    ApplyMode(1280, 720);
    Compose(u"Hi", true, true);
    Compose(u"Hi", false, true);
    Compose(u"Quiet", true, false);
    ASSERT_EQ(link.events.size(), 2u);
    EXPECT_FALSE(link.events[0].clear);
    EXPECT_EQ(link.events[0].text, u"Hi");
    EXPECT_EQ(link.events[0].sendsBefore, 0);
    EXPECT_TRUE(link.events[1].clear);
    EXPECT_EQ(link.events[1].sendsBefore, 1);
    EXPECT_EQ(runtime.sendsWithFrame, 3);
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
        sender.SendFrame(sender.CurrentFrame());  // the once-a-second re-send in between
        ASSERT_NE(runtime.lastSentFrame.p_data, previous);
        previous = runtime.lastSentFrame.p_data;
    }
    runtime.CheckLastSentBufferUntouched();
}

TEST_F(ComposerTest, WithoutSenderTheFrameIsComposedPreviewedAndBroadcastButNotSent) {
    ApplyMode(1280, 720);
    sender.DestroySender();
    const int refreshes = preview.refreshes;
    Compose(u"Offline", true, true);
    EXPECT_EQ(runtime.sendsWithFrame, 0);
    EXPECT_EQ(preview.refreshes, refreshes + 1);
    EXPECT_EQ(link.events.size(), 1u);
    EXPECT_EQ(Pixel(640, 611), 0xffffffffu);
}

TEST_F(ComposerTest, CanvasFailuresLeaveTheBoxAsItWas) {
    ApplyMode(1280, 720);
    canvas.result = CanvasResult::kNoCanvas;
    Compose(u"Lost", true);
    EXPECT_EQ(Pixel(91, 552), kOpaqueBlack) << "the pre-fill shows unchanged";
    EXPECT_TRUE(composer.TextShown());
    EXPECT_FALSE(composer.TextQueued());

    canvas.result = CanvasResult::kIncomplete;
    Compose(u"Short", true);
    EXPECT_EQ(Pixel(91, 552), 0u) << "a short read-back is not keyed";
    EXPECT_EQ(Pixel(640, 611), kGlyphWhite);
}

TEST_F(ComposerTest, PreviewGetsTheProgrammePictureWith16By9EvenBeforeDescriptorsAreFilled) {
    composer.ApplySize(1280, 720);
    Compose(u"Early", true);
    EXPECT_EQ(preview.lastPixels,
              reinterpret_cast<const uint8_t*>(composer.Programme().Pixels()));
    EXPECT_EQ(preview.lastWidth, 1280);
    EXPECT_EQ(preview.lastHeight, 720);
    EXPECT_EQ(preview.lastFourCc, kFourCcRgba);
    EXPECT_FLOAT_EQ(preview.lastAspect, 16.0f / 9.0f);
    EXPECT_EQ(preview.frame.Description().width, 640);
}

TEST_F(ComposerTest, CompositionBeforeAnyModeWritesNothingIntoTheFrame) {
    // Escape or an empty slot in the first seconds: the programme is still empty.
    Compose(u"", false);
    for (int i = 0; i < 1280 * 720; i += 997) {
        ASSERT_EQ(sender.FramePixels(sender.CurrentFrame())[i], 0u);
    }
    EXPECT_EQ(preview.lastPixels,
              reinterpret_cast<const uint8_t*>(composer.Programme().Pixels()));
}

TEST_F(ComposerTest, StartupPicturesReachThePreviewScaledToTheOutput) {
    EXPECT_EQ(preview.setFrames, 1);
    EXPECT_EQ(preview.lastWidth, 1280);
    EXPECT_EQ(composer.Background().Width(), 1280);
    EXPECT_EQ(composer.Background().Pixels()[0], 0x00203040u);
    EXPECT_EQ(composer.Splash().Width(), 720);
}

TEST(ComposerMissingPictures, TextStillReachesTheOutputWithoutTheBackgroundPicture) {
    FakeNdiRuntime runtime;
    CountingFrameBuffers frameBuffers;
    CNdiSender sender{runtime, frameBuffers};
    BlockTextCanvas canvas;
    MemoryPictures none;
    RecordingWait wait;
    RecordingFollower link;
    RecordingPreview preview;
    CountingFrameBuffers surfaceBlocks;
    COutputComposer composer{sender, canvas, none, wait, link, preview, surfaceBlocks};
    ASSERT_TRUE(sender.InitialiseNdi());
    ASSERT_TRUE(sender.AllocateFrames());
    composer.LoadPictures(1280, 720);
    composer.ApplySize(1280, 720);
    composer.ArmStartupFrame();  // an empty splash blends nothing
    composer.ComposeAndSend({1280, 720, u"", false});
    composer.EndStartup();
    composer.QueueText();
    composer.ComposeAndSend({1280, 720, u"Still here", false});
    const uint32_t* frame = sender.FramePixels(sender.CurrentFrame());
    EXPECT_EQ(frame[552 * 1280 + 91], kTextBoxBlack);
    EXPECT_EQ(frame[0], 0u);
}

}  // namespace
}  // namespace cuewire
