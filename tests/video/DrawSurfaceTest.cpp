#include "video/DrawSurface.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakePorts.h"

namespace cuewire {
namespace {

using testing::MemoryPictures;

// A surface of `width` x `height` pixels, all `pixel`, as the owner sizes one by hand.
void SizeSurface(CDrawSurface& surface, int width, int height, uint32_t pixel) {
    ASSERT_EQ(surface.Resize(width, height), 1);
    surface.Fill(pixel);
}

uint32_t BlendOne(uint32_t source, uint32_t dest) {
    CHeapPixelBlockAllocator blocks;
    CDrawSurface surface{blocks};
    SizeSurface(surface, 1, 1, source);
    surface.CompositeOnto(Anchor::kCentre, kCompositeBlend, &dest, 1, 1);
    return dest;
}

TEST(DrawSurfaceBlend, FollowsStraightAlphaOverWithTruncatingDivisions) {
    CHeapPixelBlockAllocator blocks;
    struct Case {
        uint32_t source, dest, expected;
    } cases[] = {
        {0x00ffffff, 0x80102030, 0x80102030},  // alpha 0 leaves the destination alone
        {0xff405060, 0x10102030, 0xff405060},  // alpha 255 replaces colour, alpha 255
        {0x80ffffff, 0x00000000, 0x80808080},  // onto transparent black: colour * a / 255, alpha a
        {0xaf000000, 0x00000000, 0xaf000000},
        // 0x40 over 0xc0 with a = 0x80: (0xc0*127 + 0x40*128)/255 = 127 = 0x7f;
        // alpha 255 - (255-0x20)*127/255 = 255 - 111 = 144 = 0x90.
        {0x80404040, 0x20c0c0c0, 0x907f7f7f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BlendOne(c.source, c.dest), c.expected)
            << std::hex << c.source << " over " << c.dest;
    }
}

TEST(DrawSurfaceBlend, EqualsTheRuleForEveryAlphaOfSourceAndDestination) {
    CHeapPixelBlockAllocator blocks;
    // The rule written out plainly, one byte at a time.
    const auto rule = [](uint32_t s, uint32_t d) {
        const uint32_t a = s >> 24, ia = 255 - a;
        uint32_t out = (255 - ((255 - (d >> 24)) * ia) / 255) << 24;
        for (int shift = 0; shift < 24; shift += 8) {
            out |= ((((d >> shift) & 0xff) * ia + ((s >> shift) & 0xff) * a) / 255) << shift;
        }
        return out;
    };
    CDrawSurface surface{blocks};
    ASSERT_EQ(surface.Resize(256, 1), 1);
    std::vector<uint32_t> dest(256);
    const uint32_t colours[] = {0x000000, 0xffffff, 0x010203, 0xfefdfc, 0x80ff7f, 0x3a9cd2};
    for (uint32_t sourceColour : colours) {
        for (uint32_t destColour : colours) {
            for (uint32_t destAlpha = 0; destAlpha < 256; ++destAlpha) {
                for (uint32_t a = 0; a < 256; ++a) {
                    surface.Pixels()[a] = (a << 24) | sourceColour;
                    dest[a] = (destAlpha << 24) | destColour;
                }
                surface.CompositeOnto(Anchor::kCentre, kCompositeBlend, dest.data(), 256, 1);
                for (uint32_t a = 0; a < 256; ++a) {
                    ASSERT_EQ(dest[a],
                              rule((a << 24) | sourceColour, (destAlpha << 24) | destColour))
                        << std::hex << "alpha " << a << " over " << destAlpha;
                }
            }
        }
    }
}

TEST(DrawSurfaceComposite, PlacesByAnchorAndClipsAtEveryEdge) {
    CHeapPixelBlockAllocator blocks;
    struct Case {
        const char* name;
        int w, h;
        Anchor anchor;
        int y;
        int firstColumn, lastColumn, firstRow, lastRow;  // in a 10 x 8 destination
    } cases[] = {
        {"centred", 4, 2, Anchor::kCentre, 0, 3, 6, 3, 4},
        {"bottom centre with margin 1", 4, 2, Anchor::kBottomCentre, 1, 3, 6, 5, 6},
        {"wider and taller than the destination: cut on both sides", 14, 12, Anchor::kCentre, 0, 0,
         9, 0, 7},
        {"bottom margin larger than the destination: cut at the top", 4, 2, Anchor::kBottomCentre,
         7, 3, 6, 0, 0},
    };
    for (const Case& c : cases) {
        CDrawSurface surface{blocks};
        SizeSurface(surface, c.w, c.h, 0xff0000ff);
        std::vector<uint32_t> dest(10 * 8, 0x11111111);
        surface.CompositeOnto(c.anchor, kCompositeCopy, dest.data(), 10, 8, c.y);
        for (int row = 0; row < 8; ++row) {
            for (int column = 0; column < 10; ++column) {
                const bool inside = column >= c.firstColumn && column <= c.lastColumn &&
                                    row >= c.firstRow && row <= c.lastRow;
                ASSERT_EQ(dest[row * 10 + column], inside ? 0xff0000ffu : 0x11111111u)
                    << c.name << " at " << column << "," << row;
            }
        }
    }
}

TEST(DrawSurfaceComposite, CopiesSourceRowsWithTheirOwnStride) {
    CHeapPixelBlockAllocator blocks;
    CDrawSurface surface{blocks};
    SizeSurface(surface, 3, 2, 0);
    for (int i = 0; i < 6; ++i) {
        surface.Pixels()[i] = 0xff000000u | static_cast<uint32_t>(i);
    }
    std::vector<uint32_t> dest(5 * 4, 0);
    surface.CompositeOnto(Anchor::kCentre, kCompositeCopy, dest.data(), 5, 4);
    EXPECT_EQ(dest[1 * 5 + 1], 0xff000000u);
    EXPECT_EQ(dest[1 * 5 + 3], 0xff000002u);
    EXPECT_EQ(dest[2 * 5 + 1], 0xff000003u);
    EXPECT_EQ(dest[2 * 5 + 3], 0xff000005u);
}

TEST(DrawSurfaceComposite, WritesNothingWithoutUsablePixels) {
    CHeapPixelBlockAllocator blocks;
    struct Case {
        const char* name;
        void (*prepare)(CDrawSurface&);
    } cases[] = {
        {"freshly constructed", [](CDrawSurface&) {}},
        {"not 32 bits",
         [](CDrawSurface& s) {
             MemoryPictures pictures;
             pictures.Add(1, 2, 2, 24, 0xffffffff);
             ASSERT_EQ(s.LoadBitmapResource(pictures, 1), 1);
         }},
        {"reallocated, nothing written yet",
         [](CDrawSurface& s) {
             SizeSurface(s, 2, 2, 0xffffffff);
             s.Reallocate(16);
         }},
        {"emptied",
         [](CDrawSurface& s) {
             SizeSurface(s, 2, 2, 0xffffffff);
             s.Empty();
         }},
    };
    for (const Case& c : cases) {
        CDrawSurface surface{blocks};
        c.prepare(surface);
        std::vector<uint32_t> dest(16, 0x12345678);
        surface.CompositeOnto(Anchor::kCentre, kCompositeCopy, dest.data(), 4, 4);
        EXPECT_EQ(dest, std::vector<uint32_t>(16, 0x12345678)) << c.name;
    }
}

TEST(DrawSurfaceCopyFrom, RefusesASourceWithoutPixelsAndCopiesOtherwise) {
    CHeapPixelBlockAllocator blocks;
    CDrawSurface target{blocks};
    SizeSurface(target, 2, 1, 0xff00ff00);
    CDrawSurface neverFilled{blocks};
    EXPECT_EQ(target.CopyFrom(neverFilled), 0);
    EXPECT_EQ(target.Width(), 2);
    EXPECT_EQ(target.Pixels()[1], 0xff00ff00u);

    CDrawSurface source{blocks};
    SizeSurface(source, 3, 2, 0x80402010);
    EXPECT_EQ(target.CopyFrom(source), 1);
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(target.Height(), 2);
    EXPECT_EQ(target.SizeBytes(), 24);
    EXPECT_EQ(target.Pixels()[5], 0x80402010u);
}

TEST(DrawSurfaceBitmap, LoadsResourcePixelsOrLeavesTheSurfaceAlone) {
    CHeapPixelBlockAllocator blocks;
    MemoryPictures pictures;
    pictures.Add(137, 4, 3, 32, 0x7f112233);
    CDrawSurface surface{blocks};
    EXPECT_EQ(surface.LoadBitmapResource(pictures, 999), 0);
    EXPECT_EQ(surface.ResourceId(), 0);
    EXPECT_FALSE(surface.HasPixels());

    EXPECT_EQ(surface.LoadBitmapResource(pictures, 137), 1);
    EXPECT_EQ(surface.ResourceId(), 137);
    EXPECT_EQ(surface.SizeBytes(), 4 * 3 * 4);
    EXPECT_TRUE(surface.HasPixels());
    EXPECT_EQ(surface.Pixels()[11], 0x7f112233u);
}

TEST(DrawSurfaceBitmap, ScalingKeepsTransparencyOfA32BitPictureAndMakesOthersOpaque) {
    CHeapPixelBlockAllocator blocks;
    MemoryPictures pictures;
    pictures.Add(1, 48, 27, 32, 0x00000000);  // fully transparent
    pictures.Add(2, 48, 27, 24, 0x00336699);  // another depth
    pictures.Add(3, 48, 27, 32, 0x00336699);  // 24-bit resource read at 32 bits: alpha 0
    struct Case {
        int id;
        uint32_t expected;
    } cases[] = {{1, 0x00000000}, {2, 0xff336699}, {3, 0x00336699}};
    for (const Case& c : cases) {
        CDrawSurface surface{blocks};
        ASSERT_EQ(surface.LoadBitmapResource(pictures, c.id), 1);
        ASSERT_EQ(surface.ScaleBitmap(128, 72), 1);
        EXPECT_EQ(surface.Width(), 128);
        EXPECT_EQ(surface.Height(), 72);
        EXPECT_EQ(surface.BitsPerPixel(), 32);
        EXPECT_EQ(surface.SizeBytes(), 128 * 72 * 4);
        EXPECT_TRUE(surface.HasPixels());
        for (int i = 0; i < surface.PixelCount(); ++i) {
            ASSERT_EQ(surface.Pixels()[i], c.expected) << "picture " << c.id << " pixel " << i;
        }
    }
}

TEST(DrawSurfaceText, FontCellIsSevenTenthsOfTheSurfaceHeight) {
    CHeapPixelBlockAllocator blocks;
    for (const auto& [height, cell] : {std::pair{120, 84}, std::pair{180, 126}}) {
        CDrawSurface surface{blocks};
        SizeSurface(surface, 10, height, 0);
        testing::BlockTextCanvas canvas;
        surface.DrawTextLine(canvas, u"A");
        ASSERT_EQ(canvas.cellHeights.size(), 1u);
        EXPECT_EQ(canvas.cellHeights[0], cell);
    }
}

TEST(DrawSurfaceFill, DoesNothingOnAnEmptySurfaceAndMakeOpaqueKeepsColour) {
    CHeapPixelBlockAllocator blocks;
    CDrawSurface surface{blocks};
    surface.Fill(0xffffffff);  // size 0: nothing to fill
    EXPECT_EQ(surface.Pixels()[0], 0u);
    SizeSurface(surface, 2, 2, 0x00123456);
    surface.MakeOpaque();
    EXPECT_EQ(surface.Pixels()[3], 0xff123456u);
}

}  // namespace
}  // namespace cuewire
