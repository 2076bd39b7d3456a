// The composed output pixel for pixel against a plain composition of the same
// inputs, written out step by step: the frame sent, the programme surface and
// the preview after every composition of a sequence. Whatever the composer does
// to be fast, it must not change a single pixel of these. The composer is
// handed two frame buffers in turn, as the output hands it its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/fakes/FakePorts.h"
#include "video/Composer.h"
#include "video/PixelFormat.h"
#include "video/PreviewFrame.h"

namespace cuewire {
namespace {

using namespace cuewire::testing;
using Pixels = std::vector<uint32_t>;

// A banner whose colour changes across it and whose alpha fades to nothing over
// its outer 24 pixels: the blend meets every alpha, both ends included.
LoadedBitmap FadingBanner() {
    constexpr int kWidth = 720, kHeight = 276, kFade = 24;
    LoadedBitmap banner{kWidth, kHeight, 32, Pixels(size_t(kWidth) * kHeight)};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int edge = std::min(std::min(x, kWidth - 1 - x), std::min(y, kHeight - 1 - y));
            const uint32_t alpha = uint32_t(std::min(255, edge * 255 / kFade));
            banner.pixels[size_t(y) * kWidth + x] =
                (alpha << 24) | (uint32_t(x % 256) << 16) | (uint32_t(y % 256) << 8) | 0x40u;
        }
    }
    return banner;
}

// A background picture that is neither uniform nor opaque.
LoadedBitmap PatternedPicture() {
    constexpr int kWidth = 480, kHeight = 270;
    LoadedBitmap picture{kWidth, kHeight, 32, Pixels(size_t(kWidth) * kHeight)};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            picture.pixels[size_t(y) * kWidth + x] =
                (uint32_t((x + y) % 256) << 24) | (uint32_t(x % 256) << 16) | uint32_t(y % 256);
        }
    }
    return picture;
}

void FreeBlock(uint32_t* block) {
    std::free(block);
}

uint32_t ReferenceBlend(uint32_t s, uint32_t d) {
    const uint32_t a = s >> 24, ia = 255 - a;
    uint32_t out = (255 - ((255 - (d >> 24)) * ia) / 255) << 24;
    for (int shift : {0, 8, 16}) {
        const uint32_t sc = (s >> shift) & 0xff, dc = (d >> shift) & 0xff;
        out |= ((dc * ia + sc * a) / 255) << shift;
    }
    return out;
}

// The composition as described, one plain pass per step, with its own copy of
// every surface and both frame buffers.
struct ReferenceOutput {
    int w = 0, h = 0;
    Pixels background, programme, box;
    Pixels frames[2];
    int current = 0;
    BlockTextCanvas canvas;  // draws exactly what the composer's canvas draws

    void ApplyMode(int width, int height) {
        w = width;
        h = height;
        const TextBoxGeometry geometry = TextBoxGeometry::For(w, h);
        box.assign(size_t(geometry.width) * geometry.height, kOpaqueBlack);
        background.assign(size_t(w) * h, kTransparentBlack);
        programme = background;
    }

    void Compose(std::u16string_view live, bool startup, bool text, const LoadedBitmap& splash) {
        current = current == 0 ? 1 : 0;
        if (startup) {
            programme = background;
            const int left = (w - splash.width) / 2, top = (h - splash.height) / 2;
            for (int y = 0; y < splash.height; ++y) {
                for (int x = 0; x < splash.width; ++x) {
                    uint32_t& d = programme[size_t(top + y) * w + left + x];
                    d = ReferenceBlend(splash.pixels[size_t(y) * splash.width + x], d);
                }
            }
        } else if (text) {
            programme = background;
            const TextBoxGeometry g = TextBoxGeometry::For(w, h);
            const CanvasResult drawn =
                canvas.DrawLine(live, g.height * 7 / 10, g.width, g.height, box.data());
            if (drawn == CanvasResult::kDrawn) {
                for (uint32_t& p : box) {
                    p = p != 0 ? (p | 0xff000000u) : 0xaf000000u;
                }
            }
            for (int y = 0; y < g.height; ++y) {
                std::copy_n(box.begin() + ptrdiff_t(y) * g.width, g.width,
                            programme.begin() + ptrdiff_t(g.y + y) * w + g.x);
            }
        } else {
            std::fill(programme.begin(), programme.end(), 0u);
        }
        frames[current] = programme;
    }

    Pixels Preview() const {
        const int step = w > 640 ? 2 : 1;
        Pixels preview;
        for (int y = 0; y < h / step; ++y) {
            for (int x = 0; x < w / step; ++x) {
                preview.push_back(programme[size_t(y) * step * w + size_t(x) * step]);
            }
        }
        return preview;
    }
};

::testing::AssertionResult SamePixels(const char* what, const uint32_t* actual,
                                      const Pixels& expected, int width) {
    if (!actual) {
        return ::testing::AssertionFailure() << what << ": no pixels";
    }
    size_t differing = 0, first = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (actual[i] != expected[i] && differing++ == 0) {
            first = i;
        }
    }
    if (differing == 0) {
        return ::testing::AssertionSuccess();
    }
    // A message streams each value on its own, so the hex is spelled out here.
    char pixels[64];
    std::snprintf(pixels, sizeof pixels, "0x%08x instead of 0x%08x", unsigned(actual[first]),
                  unsigned(expected[first]));
    return ::testing::AssertionFailure()
           << what << ": " << differing << " pixels differ, the first at " << first % width << ","
           << first / width << ": " << pixels;
}

enum class Do { kMode, kText, kNoText, kStartup, kPictureBackground, kCanvas };

struct Step {
    Do what;
    int width = 0, height = 0;                   // kMode
    bool alpha = true;                           // kMode
    std::u16string text;                         // kText
    CanvasResult canvas = CanvasResult::kDrawn;  // kCanvas: what later drawings return
};

Step Mode(int w, int h, bool alpha = true) {
    return {Do::kMode, w, h, alpha, {}, CanvasResult::kDrawn};
}
Step Text(std::u16string text) {
    return {Do::kText, 0, 0, true, std::move(text), CanvasResult::kDrawn};
}
Step Canvas(CanvasResult result) {
    return {Do::kCanvas, 0, 0, true, {}, result};
}
const Step kNoText{Do::kNoText, 0, 0, true, {}, CanvasResult::kDrawn};
const Step kStartup{Do::kStartup, 0, 0, true, {}, CanvasResult::kDrawn};
const Step kPictureBackground{Do::kPictureBackground, 0, 0, true, {}, CanvasResult::kDrawn};

const std::u16string kShort = u"Hello";
const std::u16string kLong(400, u'W');  // far wider than either box: cut at both edges

struct Sequence {
    const char* name;
    std::vector<Step> steps;
};

class ComposedPixelsTest : public ::testing::Test {
  protected:
    void Run(const Sequence& sequence) {
        SCOPED_TRACE(sequence.name);
        BlockTextCanvas canvas;
        MemoryPictures pictures;
        pictures.pictures[IDB_SPLASH] = m_splash;
        pictures.pictures[IDB_BACKGROUND] = PatternedPicture();
        CountingFrameBuffers blocks;
        COutputComposer composer(canvas, pictures, blocks);
        // The programme converted as the output converts it for the preview.
        CPreviewFrame preview(blocks);
        ASSERT_TRUE(preview.Setup());
        // Zero pages, as the program's frame buffers are.
        std::unique_ptr<uint32_t, void (*)(uint32_t*)> frames[2] = {
            {static_cast<uint32_t*>(std::calloc(kFrameBufferBytes / 4, 4)), FreeBlock},
            {static_cast<uint32_t*>(std::calloc(kFrameBufferBytes / 4, 4)), FreeBlock}};
        ASSERT_TRUE(frames[0] && frames[1]);
        composer.LoadPictures(1280, 720);
        composer.PrepareStartupFrame();

        ReferenceOutput reference;
        int stepIndex = 0;
        for (const Step& step : sequence.steps) {
            SCOPED_TRACE("step " + std::to_string(stepIndex++));
            bool composed = true;
            switch (step.what) {
                case Do::kMode:
                    composer.ApplySize(step.width, step.height);
                    reference.ApplyMode(step.width, step.height);
                    composed = false;
                    break;
                case Do::kPictureBackground:
                    // The pictures as loaded at start: the background holds
                    // its picture at the output size until the next mode.
                    composer.LoadPictures(reference.w, reference.h);
                    reference.background.assign(
                        composer.Background().Pixels(),
                        composer.Background().Pixels() + reference.background.size());
                    composed = false;
                    break;
                case Do::kCanvas:
                    canvas.result = step.canvas;
                    reference.canvas.result = step.canvas;
                    composed = false;
                    break;
                case Do::kText:
                case Do::kNoText:
                case Do::kStartup:
                    break;
            }
            if (!composed) {
                continue;
            }
            const int next = reference.current == 0 ? 1 : 0;
            const FrameBuffer frame{frames[next].get(), reference.w, reference.h};
            const bool startup = step.what == Do::kStartup;
            const bool text = step.what == Do::kText;
            if (text) {
                m_live = step.text;
            }
            if (startup) {
                composer.ComposeStartupFrame(frame);
            } else if (text) {
                composer.ComposeTextFrame(frame, m_live);
            } else {
                composer.ComposeEmptyFrame(frame);
            }
            reference.Compose(m_live, startup, text, m_splash);
            const int w = reference.w;
            preview.SetFrame(reinterpret_cast<const uint8_t*>(composer.Programme().Pixels()), w,
                             reference.h, w * 4);

            ASSERT_TRUE(SamePixels("frame sent", frames[reference.current].get(),
                                   reference.frames[reference.current], w));
            if (!reference.frames[1 - reference.current].empty()) {
                ASSERT_TRUE(SamePixels("frame handed over before",
                                       frames[1 - reference.current].get(),
                                       reference.frames[1 - reference.current], w));
            }
            ASSERT_TRUE(
                SamePixels("programme", composer.Programme().Pixels(), reference.programme, w));
            ASSERT_TRUE(SamePixels("preview", reinterpret_cast<const uint32_t*>(preview.Bits()),
                                   reference.Preview(), w > 640 ? w / 2 : w));
        }
    }

    LoadedBitmap m_splash = FadingBanner();
    std::u16string m_live;
};

TEST_F(ComposedPixelsTest, EveryCompositionMatchesThePlainOne) {
    const Sequence sequences[] = {
        {"720, short text, alpha", {Mode(1280, 720), Text(kShort)}},
        {"1080, short text, no alpha", {Mode(1920, 1080, false), Text(kShort)}},
        {"long text cut at both edges",
         {Mode(1280, 720), Text(kLong), Mode(1920, 1080, false), Text(kLong)}},
        {"no text", {Mode(1280, 720), kNoText, Mode(1920, 1080), kNoText}},
        {"texts replace each other, the box and the frames too",
         {Mode(1920, 1080), Text(kLong), Text(kShort), kNoText, Text(u"Another line"), Text(u"x"),
          Text(u""), kNoText, kNoText, Text(kShort), Text(kShort)}},
        {"every start-up frame blends over the background, whatever came before",
         {Mode(1280, 720), kStartup, kStartup, kStartup, Text(kShort), kStartup, kNoText, kStartup,
          Text(kLong), kStartup}},
        {"a mode change with text shown draws it again at the new size",
         {Mode(1920, 1080), Text(kShort), Mode(1280, 720, false), Text(kShort), Mode(1920, 1080),
          kStartup, Text(kLong)}},
        {"a background that holds a picture shows around the box",
         {Mode(1280, 720), kPictureBackground, Text(kShort), kNoText, Text(kLong), Mode(1920, 1080),
          kPictureBackground, Text(kShort), kStartup, Text(kShort)}},
        {"canvas failures keep or leave unkeyed what the box holds",
         {Mode(1920, 1080), Canvas(CanvasResult::kNoCanvas), Text(kShort),
          Canvas(CanvasResult::kDrawn), Text(kLong), Canvas(CanvasResult::kNoCanvas), Text(kShort),
          kNoText, Canvas(CanvasResult::kIncomplete), Text(kShort), Canvas(CanvasResult::kDrawn),
          Text(kShort)}},
    };
    for (const Sequence& sequence : sequences) {
        Run(sequence);
        if (HasFatalFailure()) {
            return;
        }
    }
}

}  // namespace
}  // namespace cuewire
