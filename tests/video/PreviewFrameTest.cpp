#include "video/PreviewFrame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "video/PixelFormat.h"

namespace cuewire {
namespace {

// A frame whose every pixel names its own position: 0xAA yyyy xxx packed.
std::vector<uint8_t> NumberedFrame(int width, int height, int stride) {
    std::vector<uint8_t> bytes(static_cast<size_t>(stride) * height, 0xee);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = (static_cast<uint32_t>(y) << 12) | static_cast<uint32_t>(x);
            std::memcpy(&bytes[static_cast<size_t>(y) * stride + x * 4], &pixel, 4);
        }
    }
    return bytes;
}

uint32_t PreviewPixel(const CPreviewFrame& preview, int x, int y) {
    uint32_t pixel;
    std::memcpy(&pixel,
                preview.Bits() + (static_cast<size_t>(y) * preview.Description().width + x) * 4, 4);
    return pixel;
}

TEST(PreviewFrame, HalvesFramesWiderThan640ByTakingEveryOtherPixelOfEveryOtherRow) {
    CHeapPixelBlockAllocator blocks;
    struct Case {
        int width, height, stride, previewWidth, previewHeight, step;
    } cases[] = {
        {1280, 720, 1280 * 4, 640, 360, 2},
        {1920, 1080, 1920 * 4, 960, 540, 2},
        {640, 360, 640 * 4, 640, 360, 1},
        {641, 10, 641 * 4, 320, 5, 2},
        {1281, 721, 1281 * 4, 640, 360, 2},
        {100, 4, 100 * 4 + 12, 100, 4, 1},  // padded rows: the padding is skipped
    };
    CPreviewFrame preview{blocks};
    ASSERT_TRUE(preview.Setup());
    for (const Case& c : cases) {
        const std::vector<uint8_t> frame = NumberedFrame(c.width, c.height, c.stride);
        preview.SetFrame(frame.data(), c.width, c.height, c.stride);
        const PreviewBitmapDescription& d = preview.Description();
        EXPECT_EQ(d.width, c.previewWidth);
        EXPECT_EQ(d.height, -c.previewHeight) << "top-down rows";
        EXPECT_EQ(d.bitsPerPixel, 32);
        for (int y = 0; y < c.previewHeight; y += 3) {
            for (int x = 0; x < c.previewWidth; x += 7) {
                const uint32_t expected = (static_cast<uint32_t>(y * c.step) << 12) | (x * c.step);
                ASSERT_EQ(PreviewPixel(preview, x, y), expected)
                    << c.width << " at " << x << "," << y;
            }
        }
        // The last preview pixel comes from an even column and row, never the odd last ones.
        const uint32_t last = PreviewPixel(preview, c.previewWidth - 1, c.previewHeight - 1);
        EXPECT_EQ(last, (static_cast<uint32_t>((c.previewHeight - 1) * c.step) << 12) |
                            ((c.previewWidth - 1) * c.step));
    }
}

TEST(PreviewFrame, CarriesTheAlphaByteUnchanged) {
    CHeapPixelBlockAllocator blocks;
    CPreviewFrame preview{blocks};
    ASSERT_TRUE(preview.Setup());
    const uint32_t pixels[2] = {0x00112233, 0xff112233};
    preview.SetFrame(reinterpret_cast<const uint8_t*>(pixels), 2, 1, 8);
    EXPECT_EQ(PreviewPixel(preview, 0, 0), 0x00112233u);
    EXPECT_EQ(PreviewPixel(preview, 1, 0), 0xff112233u);
}

TEST(PreviewFrame, DoesNothingWithoutABufferAndCopiesNothingForEmptySizes) {
    CHeapPixelBlockAllocator blocks;
    CPreviewFrame unset{blocks};
    const uint32_t pixel = 0xffffffff;
    unset.SetFrame(reinterpret_cast<const uint8_t*>(&pixel), 1, 1, 4);
    EXPECT_EQ(unset.Bits(), nullptr);
    EXPECT_EQ(unset.Description().width, 0);

    CPreviewFrame preview{blocks};
    ASSERT_TRUE(preview.Setup());
    preview.SetFrame(reinterpret_cast<const uint8_t*>(&pixel), 1282, 0, 4);
    EXPECT_EQ(preview.Description().width, 641) << "sizes are still recorded";
    EXPECT_EQ(preview.Description().height, 0);
}

}  // namespace
}  // namespace cuewire
