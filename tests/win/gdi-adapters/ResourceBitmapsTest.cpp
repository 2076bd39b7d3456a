#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "TestBitmaps.h"
#include "TestCanvas.h"
#include "res/resource.h"
#include "video/win/ResourceBitmaps.h"

namespace cuewire::test {
namespace {

struct Case {
    const char* name;
    int id;
    std::vector<uint32_t> pixels;  // top-down, as make_test_bitmaps.py wrote them
};

TEST(ResourceBitmaps, ReadsPicturesAsTopDown32BitPixels) {
    const Case cases[] = {
        {"32-bit keeps its alpha",
         IDB_TEST_ALPHA32,
         {0xFF102030, 0x80405060, 0x00708090, 0x40A0B0C0, 0xC0D0E0F0, 0xFFFFFFFF}},
        {"24-bit reads alpha 0",
         IDB_TEST_RGB24,
         {0x00112233, 0x00445566, 0x00778899, 0x00AABBCC, 0x00DDEEFF, 0x00010203}},
    };
    CResourceBitmaps resources(GetModuleHandleW(nullptr));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedBitmap bitmap;
        ASSERT_TRUE(resources.Load(c.id, bitmap));
        EXPECT_EQ(bitmap.width, 3);
        EXPECT_EQ(bitmap.height, 2);
        EXPECT_EQ(bitmap.bitsPerPixel, 32);
        EXPECT_EQ(bitmap.pixels, c.pixels);
    }
}

TEST(ResourceBitmaps, ReadsTheProgramsBannerWithItsAlphaAndTheOpaquePictureWithout) {
    CResourceBitmaps resources(GetModuleHandleW(nullptr));
    LoadedBitmap banner;
    LoadedBitmap picture;
    ASSERT_TRUE(resources.Load(IDB_SPLASH, banner));
    ASSERT_TRUE(resources.Load(IDB_BACKGROUND, picture));

    EXPECT_EQ(banner.width, 720);
    EXPECT_EQ(banner.height, 276);
    // The banner fades out towards its edges: clear corners, some partial alpha.
    EXPECT_EQ(banner.pixels.front() >> 24, 0u);
    EXPECT_TRUE(std::any_of(banner.pixels.begin(), banner.pixels.end(),
                            [](uint32_t p) { return (p >> 24) > 0 && (p >> 24) < 255; }));

    EXPECT_EQ(picture.width, 480);
    EXPECT_EQ(picture.height, 270);
    EXPECT_TRUE(std::all_of(picture.pixels.begin(), picture.pixels.end(),
                            [](uint32_t p) { return (p >> 24) == 0; }));
    EXPECT_TRUE(std::any_of(picture.pixels.begin(), picture.pixels.end(),
                            [](uint32_t p) { return p != 0; }));
}

TEST(ResourceBitmaps, MissingPictureReturnsFalseAndLeavesTheBitmap) {
    CResourceBitmaps resources(GetModuleHandleW(nullptr));
    LoadedBitmap bitmap;
    bitmap.width = 7;
    bitmap.pixels = {1, 2, 3};
    EXPECT_FALSE(resources.Load(IDB_TEST_MISSING, bitmap));
    EXPECT_EQ(bitmap.width, 7);
    EXPECT_EQ(bitmap.pixels, (std::vector<uint32_t>{1, 2, 3}));
}

TEST(ResourceBitmaps, ReleasesEveryHandle) {
    CResourceBitmaps resources(GetModuleHandleW(nullptr));
    const GdiSnapshot before = GdiSnapshot::Take();
    LoadedBitmap bitmap;
    for (int i = 0; i < 500; ++i) {
        resources.Load(i % 3 == 2 ? IDB_TEST_MISSING : IDB_TEST_ALPHA32 + i % 3, bitmap);
    }
    const GdiSnapshot after = GdiSnapshot::Take();
    for (const GdiKind kind : {GdiKind::kBitmap, GdiKind::kMemoryDC}) {
        const int k = static_cast<int>(kind);
        EXPECT_GT(after.kinds[k].created, before.kinds[k].created);
        EXPECT_EQ(after.kinds[k].released - before.kinds[k].released,
                  after.kinds[k].created - before.kinds[k].created);
        EXPECT_EQ(after.kinds[k].failedReleases, before.kinds[k].failedReleases);
    }
}

}  // namespace
}  // namespace cuewire::test
