// Resizes, region copies, draws and output names of the image workspace.
#include "image/LoadByExtension.h"
#include "image/OutputName.h"
#include "image/RegionCopy.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace chipshift {
namespace {

using test::makeImage;

Image grey8(int w, int h, Palette p, std::uint32_t value) {
    return makeImage(w, h, PixelFormat::Indexed8, std::move(p), [=](int, int) { return value; });
}

// ---- resize -------------------------------------------------------------

struct FillCase {
    PixelFormat format;
    bool surface;
    std::uint32_t expectedFill;
};

class ResizeFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(ResizeFill, NewPixelsGetTheFillAndOldOnesStay) {
    const FillCase c = GetParam();
    // Palette: entry 0 black, entry 1 near-white, entry 2 exact white; the
    // highest index of the format is whatever the table holds.
    Palette p({{0, 0, 0}, {250, 250, 250}, {255, 255, 255}, {1, 2, 3}});
    Image img = makeImage(3, 2, c.format, isIndexed(c.format) ? p : Palette(),
                          [](int x, int y) { return std::uint32_t(x + y) & 1; });
    if (c.surface) img.markSurface();
    img.setWidth(5);
    img.setHeight(4);
    ASSERT_EQ(img.width(), 5);
    ASSERT_EQ(img.height(), 4);
    EXPECT_EQ(img.format(), c.format);
    EXPECT_EQ(img.palette(), isIndexed(c.format) ? p : Palette());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const std::uint32_t expected = (x < 3 && y < 2) ? std::uint32_t(x + y) & 1 : c.expectedFill;
            EXPECT_EQ(img.pixel(x, y), expected) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ResizeFill,
    ::testing::Values(
        // Without a surface: every bit set, whatever colour that is.
        FillCase{PixelFormat::Indexed1, false, 1}, FillCase{PixelFormat::Indexed4, false, 15},
        FillCase{PixelFormat::Indexed8, false, 255}, FillCase{PixelFormat::Rgb555, false, 0xFFFF},
        FillCase{PixelFormat::Rgb565, false, 0xFFFF}, FillCase{PixelFormat::Rgb24, false, 0xFFFFFF},
        FillCase{PixelFormat::Rgb32, false, 0xFFFFFFFF},
        // With one: white, in an indexed format the entry nearest to white
        // (the exact white at index 2 beats the near-white at index 1).
        FillCase{PixelFormat::Indexed4, true, 2}, FillCase{PixelFormat::Indexed8, true, 2},
        FillCase{PixelFormat::Rgb555, true, 0x7FFF}, FillCase{PixelFormat::Rgb565, true, 0xFFFF},
        FillCase{PixelFormat::Rgb24, true, 0xFFFFFF}, FillCase{PixelFormat::Rgb32, true, 0xFFFFFF}));

TEST(Resize, SameValueChangesNothingAndOrderDoesNotMatter) {
    Image a = makeImage(4, 3, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 1); });
    const Image before = a;
    a.setWidth(4);
    a.setHeight(3);
    EXPECT_EQ(a.pixels(), before.pixels());

    Image b = a;
    a.setWidth(2);
    a.setHeight(6);
    b.setHeight(6);
    b.setWidth(2);
    EXPECT_EQ(a.pixels(), b.pixels());
    EXPECT_EQ(a.pixel(1, 2), before.pixel(1, 2));
}

TEST(Resize, LoadingKeepsTheSurface) {
    Image a = grey8(2, 2, test::rampPalette(256), 0);
    a.markSurface();
    a.assign(1, 1, PixelFormat::Rgb24, {}, {0});
    EXPECT_TRUE(a.hasSurface());
}

// ---- region copy ----------------------------------------------------------

TEST(RegionCopy, DoubledCopyMakesTwoByTwoBlocks) {
    const Image src = makeImage(16, 16, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 2); });
    Image dst = makeImage(70, 70, PixelFormat::Rgb24, {}, [](int, int) { return 0u; });
    copyRect(src, {0, 0, 16, 16}, dst, {32, 32, 64, 64});
    for (int b = 0; b < 16; ++b)
        for (int a = 0; a < 16; ++a)
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    ASSERT_EQ(dst.pixel(32 + 2 * a + dx, 32 + 2 * b + dy), src.pixel(a, b));
    EXPECT_EQ(dst.pixel(31, 31), 0u);
    EXPECT_EQ(dst.pixel(64, 64), 0u);
    EXPECT_TRUE(src.hasSurface());
    EXPECT_TRUE(dst.hasSurface());
}

TEST(RegionCopy, ColoursAreConvertedIntoTheDestinationFormat) {
    Palette srcPal({{10, 20, 30}, {200, 100, 50}, {255, 255, 255}});
    const Image src = makeImage(3, 1, PixelFormat::Indexed8, srcPal, [](int x, int) { return std::uint32_t(x); });

    // Into 24-bit: the exact palette colours.
    Image rgb = makeImage(3, 1, PixelFormat::Rgb24, {}, [](int, int) { return 0u; });
    copyRect(src, {0, 0, 3, 1}, rgb, {0, 0, 3, 1});
    EXPECT_EQ(rgb.pixel(0, 0), 0x0A141Eu);
    EXPECT_EQ(rgb.pixel(1, 0), 0xC86432u);

    // Into 8-bit with another palette: the nearest entry, an exact match
    // winning, equal distances going to the lower index. Indices never pass
    // as such.
    Palette dstPal({{255, 255, 255}, {0, 0, 0}, {200, 100, 50}, {12, 20, 30}, {8, 20, 30}});
    Image idx = grey8(3, 1, dstPal, 1);
    copyRect(src, {0, 0, 3, 1}, idx, {0, 0, 3, 1});
    EXPECT_EQ(idx.pixel(0, 0), 3u);  // (10,20,30): 3 and 4 equally near, the lower wins
    EXPECT_EQ(idx.pixel(1, 0), 2u);  // exact
    EXPECT_EQ(idx.pixel(2, 0), 0u);  // white
    Image doubled = grey8(6, 2, dstPal, 1);
    copyRect(src, {0, 0, 3, 1}, doubled, {0, 0, 6, 2});
    for (int x = 0; x < 6; ++x) EXPECT_EQ(doubled.pixel(x, 1), idx.pixel(x / 2, 0)) << x;

    // 16-bit sources widen their channels; 16-bit destinations keep the top bits.
    const Image s565 = makeImage(1, 1, PixelFormat::Rgb565, {}, [](int, int) { return 0xFFFFu; });
    copyRect(s565, {0, 0, 1, 1}, rgb, {0, 0, 1, 1});
    EXPECT_EQ(rgb.pixel(0, 0), 0xFFFFFFu);
    Image d555 = makeImage(1, 1, PixelFormat::Rgb555, {}, [](int, int) { return 0u; });
    copyRect(rgb, {1, 0, 2, 1}, d555, {0, 0, 1, 1});
    EXPECT_EQ(d555.pixel(0, 0), (std::uint32_t(200 >> 3) << 10) | (std::uint32_t(100 >> 3) << 5) | (50 >> 3));
}

TEST(RegionCopy, WritesOnlyInsideTheDestination) {
    const Image src = makeImage(8, 8, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 3); });
    Image dst = makeImage(10, 10, PixelFormat::Rgb24, {}, [](int, int) { return 7u; });
    copyRect(src, {0, 0, 8, 8}, dst, {4, -2, 20, 14});  // doubled, reaching past right, top and bottom
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const std::uint32_t expected = x < 4 ? 7u : src.pixel((x - 4) / 2, (y + 2) / 2);
            ASSERT_EQ(dst.pixel(x, y), expected) << x << "," << y;
        }
    // Cut at the left on an odd column: the first column is half a source pixel.
    Image left = makeImage(6, 2, PixelFormat::Rgb24, {}, [](int, int) { return 7u; });
    copyRect(src, {0, 0, 4, 1}, left, {-3, 0, 5, 2});
    for (int x = 0; x < 5; ++x) EXPECT_EQ(left.pixel(x, 1), src.pixel((x + 3) / 2, 0)) << x;
    EXPECT_EQ(left.pixel(5, 0), 7u);
}

TEST(RegionCopy, SourcePixelsOutsideTheSourceReadAsWhite) {
    const Image src = makeImage(3, 2, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 9); });
    for (int shift : {0, 1}) {
        SCOPED_TRACE(shift);
        const int k = 1 << shift;
        Image dst = makeImage(5 * k, 4 * k, PixelFormat::Rgb24, {}, [](int, int) { return 7u; });
        copyRect(src, {-1, -1, 4, 3}, dst, {0, 0, 5 * k, 4 * k});
        for (int y = 0; y < 4 * k; ++y)
            for (int x = 0; x < 5 * k; ++x) {
                const int sx = x / k - 1, sy = y / k - 1;
                const bool inside = sx >= 0 && sx < 3 && sy >= 0 && sy < 2;
                ASSERT_EQ(dst.pixel(x, y), inside ? src.pixel(sx, sy) : 0xFFFFFFu) << x << "," << y;
            }
    }
}

TEST(RegionCopy, CopyWithinOneImageReadsTheSourceAsItWas) {
    Image img = makeImage(4, 1, PixelFormat::Rgb24, {}, [](int x, int) { return std::uint32_t(x + 1); });
    copyRect(img, {0, 0, 3, 1}, img, {1, 0, 4, 1});  // overlapping shift right
    EXPECT_EQ(img.pixels(), (std::vector<std::uint32_t>{1, 1, 2, 3}));
}

TEST(RegionCopy, DrawIsAOneToOneCopyOfTheWholeImage) {
    const Image small = makeImage(2, 2, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 4); });
    Image dst = makeImage(5, 5, PixelFormat::Rgb24, {}, [](int, int) { return 0u; });
    draw(small, dst, 3, 3);
    EXPECT_EQ(dst.pixel(3, 3), small.pixel(0, 0));
    EXPECT_EQ(dst.pixel(4, 4), small.pixel(1, 1));
    EXPECT_EQ(dst.pixel(2, 2), 0u);

    const Image before = dst;
    draw(Image(), dst, 0, 0);
    EXPECT_EQ(dst.pixels(), before.pixels());
}

TEST(RegionCopy, ThirtyTwoAndTwentyFourBitGiveTheSameColours) {
    const Image s32 = makeImage(2, 1, PixelFormat::Rgb32, {}, [](int x, int) { return 0xAB000000u | std::uint32_t(x * 0x102030); });
    Image d24 = makeImage(2, 1, PixelFormat::Rgb24, {}, [](int, int) { return 0u; });
    copyRect(s32, {0, 0, 2, 1}, d24, {0, 0, 2, 1});
    EXPECT_EQ(d24.pixel(1, 0), 0x102030u);
}

// ---- names ----------------------------------------------------------------

TEST(OutputName, FolderBaseNameAndSuffix) {
    struct Case {
        const char* folder;
        const char* source;
        const char* expected;
    };
    const Case cases[] = {
        {"/out", "/maps/town.png", "/out/town.png"},
        {"/out/", "town.png", "/out/town.png"},
        {"", "town.png", "/town.png"},
        {"/out", "/maps/a.b.png", "/out/a.b.png"},
        {"/out", "/maps/.png", "/out/.png"},
        {"/out", "/maps/noext", "/out/noext.png"},
        {"/out", "/ma.ps/town", "/out/town.png"},
        // Names that are not UTF-8 (Shift JIS "表" = 0x95 0x5C) pass through as bytes.
        {"/out/\x95\x5c", "/maps/\x83\x5c.bmp", "/out/\x95\x5c/\x83\x5c.png"},
        {"/出力", "/地図/町.bmp", "/出力/町.png"},
    };
    for (const Case& c : cases) EXPECT_EQ(outputName(c.folder, c.source, ".png"), c.expected) << c.source;
    EXPECT_EQ(outputName("/o", "/m/t.png", "_Auto00.png"), "/o/t_Auto00.png");
}

TEST(LoadByExtension, OnlyExactLowerCaseExtensionsAreRead) {
    EXPECT_EQ(extensionOf("/a/b.png"), ".png");
    EXPECT_EQ(extensionOf("/a.d/b"), "");
    EXPECT_EQ(extensionOf("b"), "");
    test::TempDir dir;
    for (const char* name : {"x.PNG", "x.Bmp", "x.gif", "x"}) {
        test::writeFile(dir / name, {1, 2, 3});
        Image img = grey8(1, 1, test::rampPalette(4), 3);
        loadByExtension(img, dir / name);  // reads nothing, raises nothing
        EXPECT_EQ(img.width(), 1) << name;
        EXPECT_EQ(img.pixel(0, 0), 3u) << name;
    }
}

}  // namespace
}  // namespace chipshift
