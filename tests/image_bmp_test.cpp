// The Windows bitmap reader: every header variant, depth and coding it
// accepts, and the damaged files it must refuse or clip without harm.

#include "image/BmpReader.h"
#include "image/ImageError.h"
#include "image/LoadByExtension.h"
#include "tests/support/BmpBuilder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

using namespace chipshift;
using namespace chipshift::test;

namespace {

using Bytes = std::vector<std::uint8_t>;

Image decode(const Bytes& bytes) {
    Image image;
    readBmpBytes(image, bytes.data(), bytes.size(), "test.bmp");
    return image;
}

// An image that no test file decodes to, to show that a failed read left it
// alone.
Image sentinel() { return makeImage(3, 2, PixelFormat::Rgb24, {}, [](int x, int y) { return distinctRgb(x, y, 9); }); }

void expectSameImage(const Image& a, const Image& b) {
    EXPECT_EQ(a.width(), b.width());
    EXPECT_EQ(a.height(), b.height());
    EXPECT_EQ(a.format(), b.format());
    EXPECT_EQ(a.palette(), b.palette());
    EXPECT_EQ(a.pixels(), b.pixels());
}

std::vector<std::uint32_t> pattern(int w, int h, const std::function<std::uint32_t(int, int)>& f) {
    std::vector<std::uint32_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px.push_back(f(x, y));
    return px;
}

// A 4 x 2 8-bit file with a four-entry table: the base that the hostile cases
// damage.
BmpBuilder small8Bit() {
    BmpBuilder b;
    b.width = 4;
    b.height = 2;
    b.bitsPerPixel = 8;
    b.coloursUsed = 4;
    b.table = rampPalette(4).entries();
    b.pixelData = packRows({0, 1, 2, 3, 3, 2, 1, 0}, 4, 2, 8, false);
    return b;
}

int openDescriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

}  // namespace

// Every depth over widths on both sides of byte boundaries, rows stored both
// ways: the decoded values, format and palette match what was packed.
class BmpDepthAndWidth : public ::testing::TestWithParam<std::tuple<int, int, bool>> {};

TEST_P(BmpDepthAndWidth, DecodesEveryPixel) {
    const auto [bpp, width, topDown] = GetParam();
    const int height = 3;
    std::vector<std::uint32_t> px;
    PixelFormat format = PixelFormat::None;
    switch (bpp) {
        case 1: format = PixelFormat::Indexed1; break;
        case 4: format = PixelFormat::Indexed4; break;
        case 8: format = PixelFormat::Indexed8; break;
        case 16: format = PixelFormat::Rgb555; break;
        case 24: format = PixelFormat::Rgb24; break;
        case 32: format = PixelFormat::Rgb32; break;
    }
    if (bpp <= 8) {
        px = pattern(width, height, [bpp = bpp](int x, int y) { return std::uint32_t(x * 5 + y * 3 + 1) % (1u << bpp); });
    } else if (bpp == 16) {
        px = pattern(width, height, [](int x, int y) { return std::uint32_t(x * 977 + y * 131 + 1) & 0x7FFF; });
    } else {
        // The fourth byte of a 32-bit pixel is kept in bits 24 to 31.
        px = pattern(width, height, [bpp = bpp](int x, int y) {
            return distinctRgb(x, y, 3) | (bpp == 32 ? std::uint32_t(0xA0 + x) << 24 : 0);
        });
    }
    BmpBuilder b;
    b.width = width;
    b.height = topDown ? -height : height;
    b.bitsPerPixel = static_cast<std::uint16_t>(bpp);
    if (bpp <= 8) b.table = rampPalette(1 << bpp).entries();
    b.pixelData = packRows(px, width, height, bpp, topDown);

    const Image image = decode(b.bytes());
    EXPECT_EQ(image.width(), width);
    EXPECT_EQ(image.height(), height);
    EXPECT_EQ(image.format(), format);
    EXPECT_EQ(image.palette(), bpp <= 8 ? rampPalette(1 << bpp) : Palette{});
    EXPECT_EQ(image.pixels(), px);
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BmpDepthAndWidth,
                         ::testing::Combine(::testing::Values(1, 4, 8, 16, 24, 32),
                                            ::testing::Values(1, 7, 8, 9, 15, 16, 17), ::testing::Bool()));

TEST(BmpColourTable, TakesTheEntriesInUseAndClampsToTheDepth) {
    struct Case {
        int bpp;
        std::uint32_t used;
        int stored;
        int expected;
    };
    for (const Case c : {Case{8, 5, 5, 5}, Case{4, 0, 16, 16}, Case{8, 300, 256, 256}, Case{1, 7, 2, 2}}) {
        SCOPED_TRACE(testing::Message() << c.bpp << "-bit, " << c.used << " in use");
        BmpBuilder b = small8Bit();
        b.bitsPerPixel = static_cast<std::uint16_t>(c.bpp);
        b.coloursUsed = c.used;
        b.table = rampPalette(c.stored).entries();
        b.pixelData = packRows({1, 0, 1, 0, 0, 1, 0, 1}, 4, 2, c.bpp, false);
        const Image image = decode(b.bytes());
        EXPECT_EQ(image.palette(), rampPalette(c.expected));
        EXPECT_EQ(image.pixel(0, 0), 1u);
    }
}

TEST(BmpColourTable, KeepsIndicesBeyondTheTable) {
    BmpBuilder b = small8Bit();
    b.coloursUsed = 2;
    b.table.resize(2);
    const Image image = decode(b.bytes());
    ASSERT_EQ(image.palette().size(), 2);
    EXPECT_EQ(image.pixel(3, 0), 3u);
    EXPECT_EQ(image.colorAt(3, 0), Color{});
}

TEST(BmpSixteenBit, MasksChooseTheFormatWhereverTheyStand) {
    struct Case {
        const char* name;
        std::uint32_t headerSize;
        std::uint32_t compression;
        std::vector<std::uint32_t> masks;
        PixelFormat format;
    };
    const std::vector<std::uint32_t> m565{0xF800, 0x07E0, 0x001F}, m555{0x7C00, 0x03E0, 0x001F};
    const Case cases[] = {
        {"no masks", 40, 0, {}, PixelFormat::Rgb555},
        {"5-6-5 after the header", 40, 3, m565, PixelFormat::Rgb565},
        {"5-5-5 after the header", 40, 3, m555, PixelFormat::Rgb555},
        {"5-6-5 with an alpha mask slot", 40, 6, {0xF800, 0x07E0, 0x001F, 0}, PixelFormat::Rgb565},
        {"5-6-5 in a 52-byte header", 52, 3, m565, PixelFormat::Rgb565},
        {"5-6-5 in a 108-byte header", 108, 3, m565, PixelFormat::Rgb565},
        {"5-6-5 in a 124-byte header", 124, 3, m565, PixelFormat::Rgb565},
        {"masks in the header without bit fields", 124, 0, m565, PixelFormat::Rgb555},
    };
    const std::vector<std::uint32_t> px{0xF800, 0x07E0, 0x001F, 0xFFFF, 0x8001, 0x1234};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpBuilder b;
        b.headerSize = c.headerSize;
        b.width = 3;
        b.height = 2;
        b.bitsPerPixel = 16;
        b.compression = c.compression;
        b.masks = c.masks;
        b.pixelData = packRows(px, 3, 2, 16, false);
        const Image image = decode(b.bytes());
        EXPECT_EQ(image.format(), c.format);
        EXPECT_EQ(image.pixels(), px);
    }
}

TEST(BmpThirtyTwoBit, StandardMasksReadAsThirtyTwoBit) {
    const std::vector<std::uint32_t> px{0x11223344, 0xFF00FF00};
    for (std::uint32_t headerSize : {40u, 108u}) {
        BmpBuilder b;
        b.headerSize = headerSize;
        b.width = 2;
        b.bitsPerPixel = 32;
        b.compression = 3;
        b.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
        b.pixelData = packRows(px, 2, 1, 32, false);
        const Image image = decode(b.bytes());
        EXPECT_EQ(image.format(), PixelFormat::Rgb32);
        EXPECT_EQ(image.pixels(), px);
        EXPECT_EQ(image.colorAt(0, 0), (Color{0x22, 0x33, 0x44}));
    }
}

TEST(BmpOlderHeaders, TwelveByteHeaderHasThreeByteEntries) {
    BmpBuilder b = small8Bit();
    b.headerSize = 12;
    b.table = rampPalette(256).entries();
    const Image image = decode(b.bytes());
    EXPECT_EQ(image.format(), PixelFormat::Indexed8);
    EXPECT_EQ(image.palette(), rampPalette(256));
    EXPECT_EQ(image.pixels(), (std::vector<std::uint32_t>{0, 1, 2, 3, 3, 2, 1, 0}));

    // A shorter table ends where the pixel data begins.
    b.table = rampPalette(4).entries();
    EXPECT_EQ(decode(b.bytes()).palette(), rampPalette(4));

    BmpBuilder rgb;
    rgb.headerSize = 12;
    rgb.width = 2;
    rgb.pixelData = packRows({0x102030, 0xA0B0C0}, 2, 1, 24, false);
    const Image direct = decode(rgb.bytes());
    EXPECT_EQ(direct.format(), PixelFormat::Rgb24);
    EXPECT_EQ(direct.pixels(), (std::vector<std::uint32_t>{0x102030, 0xA0B0C0}));
}

TEST(BmpOlderHeaders, SixtyFourByteHeaderReadsLikeTheFortyByteOne) {
    BmpBuilder b = small8Bit();
    b.headerSize = 64;
    const Image image = decode(b.bytes());
    EXPECT_EQ(image.palette(), rampPalette(4));
    EXPECT_EQ(image.pixels(), (std::vector<std::uint32_t>{0, 1, 2, 3, 3, 2, 1, 0}));
}

TEST(BmpRunLength, Rle8RunsLiteralsMovesAndRowEnds) {
    // Rows in stored order, the bottom one first when the height is positive.
    const Bytes stream{
        3, 5, 0, 3, 7, 8, 9, 0,  // run of three 5s; literal of three, padded to even
        0, 0,                    // end of row
        0, 2, 2, 1,              // move 2 right, 1 down: skips the rest of this row
        2, 10, 0, 0,             // two 10s, end of row
        0, 4, 1, 2, 3, 4,        // literal of four
        2, 11, 0, 1,             // two 11s, end of bitmap
        6, 0xFF,                 // after the end: never read
    };
    const std::vector<std::vector<std::uint32_t>> storedRows{
        {5, 5, 5, 7, 8, 9}, {0, 0, 0, 0, 0, 0}, {0, 0, 10, 10, 0, 0}, {1, 2, 3, 4, 11, 11}};
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        BmpBuilder b;
        b.width = 6;
        b.height = topDown ? -4 : 4;
        b.bitsPerPixel = 8;
        b.compression = 1;
        b.table = rampPalette(12).entries();
        b.coloursUsed = 12;
        b.pixelData = stream;
        const Image image = decode(b.bytes());
        EXPECT_EQ(image.format(), PixelFormat::Indexed8);
        EXPECT_EQ(image.palette(), rampPalette(12));
        for (int s = 0; s < 4; ++s) {
            const int y = topDown ? s : 3 - s;
            EXPECT_EQ(std::vector<std::uint32_t>(image.row(y), image.row(y) + 6), storedRows[s]) << "stored row " << s;
        }
    }
}

TEST(BmpRunLength, Rle4AlternatesNibblesAndMayEndWithoutEndMark) {
    BmpBuilder b;
    b.width = 5;
    b.height = 3;
    b.bitsPerPixel = 4;
    b.compression = 2;
    b.table = rampPalette(16).entries();
    b.pixelData = {
        5, 0x12, 0, 0,                     // 1 2 1 2 1, end of row
        0, 5, 0x34, 0x56, 0x70, 0, 0, 0,   // literal of five nibbles: three bytes and a pad; end of row
        0, 2, 1, 0, 2, 0x89,               // move 1 right, then 8 9; the stream just stops
    };
    const Image image = decode(b.bytes());
    EXPECT_EQ(image.format(), PixelFormat::Indexed4);
    EXPECT_EQ(image.palette(), rampPalette(16));
    EXPECT_EQ(image.pixels(), (std::vector<std::uint32_t>{0, 8, 9, 0, 0, 3, 4, 5, 6, 7, 1, 2, 1, 2, 1}));
}

// Damaged run-length streams are clipped: whatever falls outside the image
// is dropped, and the rest decodes.
TEST(BmpRunLength, OverrunsAreClipped) {
    struct Case {
        const char* name;
        bool fourBit;
        int width, height;
        Bytes stream;
        std::vector<std::uint32_t> expected;  // top row first
    };
    const Case cases[] = {
        {"run past the row end", false, 3, 2, {5, 7, 0, 0, 1, 2}, {2, 0, 0, 7, 7, 7}},
        {"literal past the row end", false, 2, 1, {0, 3, 1, 2, 3, 0, 1, 4}, {1, 2}},
        {"move below the image", false, 2, 2, {0, 2, 0, 5, 2, 9}, {0, 0, 0, 0}},
        {"move past the row end", false, 2, 2, {0, 2, 5, 0, 2, 9, 0, 0, 1, 4}, {4, 0, 0, 0}},
        {"rows past the top", false, 1, 1, {1, 3, 0, 0, 1, 4, 0, 0, 1, 5}, {3}},
        {"literal cut short by the file end", false, 3, 1, {0, 3, 1, 2}, {1, 2, 0}},
        {"move cut short by the file end", false, 2, 1, {1, 5, 0, 2}, {5, 0}},
        {"4-bit run past the row end", true, 3, 1, {7, 0x12}, {1, 2, 1}},
        {"4-bit literal past the row end", true, 2, 1, {0, 4, 0x12, 0x34}, {1, 2}},
        {"empty stream", false, 2, 1, {}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpBuilder b;
        b.width = c.width;
        b.height = c.height;
        b.bitsPerPixel = c.fourBit ? 4 : 8;
        b.compression = c.fourBit ? 2 : 1;
        b.table = rampPalette(16).entries();
        b.coloursUsed = 16;
        b.pixelData = c.stream;
        EXPECT_EQ(decode(b.bytes()).pixels(), c.expected);
    }
}

TEST(BmpHostile, RefusedWithAClearErrorAndTheImageLeftAlone) {
    struct Case {
        std::string name;
        Bytes bytes;
        std::string hint;  // a word the message must hold
    };
    const Bytes good = small8Bit().bytes();
    const auto with = [](const std::function<void(BmpBuilder&)>& change) {
        BmpBuilder b = small8Bit();
        change(b);
        return b.bytes();
    };
    const auto cut = [&](std::size_t n) { return Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)); };
    const auto patched = [&](std::size_t at, std::uint32_t v) {
        Bytes b = good;
        for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
        return b;
    };

    std::vector<Case> cases{
        {"empty file", {}, "\"BM\""},
        {"one byte", {'B'}, "\"BM\""},
        {"not BM", with([](BmpBuilder&) {}), "\"BM\""},
        {"cut in the file header", cut(10), "cut short"},
        {"cut before the header size", cut(16), "cut short"},
        {"cut in the info header", cut(30), "cut short"},
        {"cut in the colour table", cut(54 + 10), "colour table"},
        {"cut in the pixel data", cut(good.size() - 1), "pixel data"},
        {"zero width", with([](BmpBuilder& b) { b.width = 0; }), "size"},
        {"zero height", with([](BmpBuilder& b) { b.height = 0; }), "size"},
        {"negative width", with([](BmpBuilder& b) { b.width = -4; }), "size"},
        {"width over the limit", with([](BmpBuilder& b) { b.width = kMaxImageSide + 1; }), "limit"},
        {"height over the limit", with([](BmpBuilder& b) { b.height = kMaxImageSide + 1; }), "limit"},
        {"top-down height over the limit", with([](BmpBuilder& b) { b.height = -(kMaxImageSide + 1); }), "limit"},
        {"smallest height", with([](BmpBuilder& b) { b.height = INT_MIN; }), "limit"},
        {"largest width at 32 bits", with([](BmpBuilder& b) { b.width = INT_MAX; b.bitsPerPixel = 32; }), "limit"},
        {"older header over the limit", with([](BmpBuilder& b) { b.headerSize = 12; b.width = 20000; }), "limit"},
        {"largest size within the limit, no data",
         with([](BmpBuilder& b) { b.width = b.height = kMaxImageSide; b.bitsPerPixel = 32; b.table.clear(); }),
         "pixel data"},
        {"header size 0", patched(14, 0), "header size"},
        {"unknown header size", patched(14, 20), "header size"},
        {"huge header size", patched(14, 0xFFFFFFF0u), "header size"},
        {"header larger than the file", patched(14, 124), "header cut short"},
        {"offset beyond the file", patched(10, static_cast<std::uint32_t>(good.size() + 1)), "offset"},
        {"offset at the top of the range", patched(10, 0xFFFFFFFFu), "offset"},
        {"offset into the headers", patched(10, 20), "offset"},
        {"bit depth 0", with([](BmpBuilder& b) { b.bitsPerPixel = 0; }), "bit depth"},
        {"bit depth 2", with([](BmpBuilder& b) { b.bitsPerPixel = 2; }), "bit depth"},
        {"bit depth 64", with([](BmpBuilder& b) { b.bitsPerPixel = 64; }), "bit depth"},
        {"JPEG compression", with([](BmpBuilder& b) { b.compression = 4; }), "compression"},
        {"PNG compression", with([](BmpBuilder& b) { b.compression = 5; }), "compression"},
        {"unknown compression", with([](BmpBuilder& b) { b.compression = 99; }), "compression"},
        {"RLE8 at 4 bits", with([](BmpBuilder& b) { b.compression = 1; b.bitsPerPixel = 4; }), "RLE8"},
        {"RLE4 at 8 bits", with([](BmpBuilder& b) { b.compression = 2; }), "RLE4"},
        {"bit fields at 8 bits", with([](BmpBuilder& b) { b.compression = 3; b.masks = {0xE0, 0x1C, 0x03}; }), "masks"},
        {"bit fields of the later OS/2 header", with([](BmpBuilder& b) { b.headerSize = 64; b.compression = 3; }),
         "compression"},
        {"16-bit 4-4-4 masks",
         with([](BmpBuilder& b) { b.bitsPerPixel = 16; b.compression = 3; b.masks = {0x0F00, 0x00F0, 0x000F}; b.table.clear(); }),
         "masks"},
        {"32-bit swapped masks",
         with([](BmpBuilder& b) { b.bitsPerPixel = 32; b.compression = 3; b.masks = {0xFF, 0xFF00, 0xFF0000}; b.table.clear(); }),
         "masks"},
        {"masks cut short", with([](BmpBuilder& b) {
             b.bitsPerPixel = 16; b.compression = 3; b.masks.clear(); b.table.clear(); b.pixelData = {1, 2};
         }), "masks"},
        {"colour table longer than the file", with([](BmpBuilder& b) { b.coloursUsed = 200; }), "colour table"},
    };
    cases[2].bytes[1] = 'A';
    for (std::size_t n : {2u, 6u, 14u, 18u, 40u, 54u}) cases.push_back({"cut at " + std::to_string(n), cut(n), ""});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Image image = sentinel();
        try {
            readBmpBytes(image, c.bytes.data(), c.bytes.size(), "hostile.bmp");
            ADD_FAILURE() << "no error";
        } catch (const ImageError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("hostile.bmp"), std::string::npos) << message;
            EXPECT_NE(message.find(c.hint), std::string::npos) << message;
        }
        expectSameImage(image, sentinel());
    }
}

TEST(BmpFile, ReadsAFileAndClosesItOnEveryWayOut) {
    TempDir dir;
    const Bytes good = small8Bit().bytes();
    writeFile(dir / "good.bmp", good);
    writeFile(dir / "cut.bmp", Bytes(good.begin(), good.begin() + 30));
    const int before = openDescriptors();

    Image image;
    readBmp(image, dir / "good.bmp");
    EXPECT_EQ(image.pixels(), (std::vector<std::uint32_t>{0, 1, 2, 3, 3, 2, 1, 0}));

    for (const std::string name : {"cut.bmp", "missing.bmp", ""}) {
        const std::string path = dir / name;  // the empty name gives the folder itself
        Image kept = sentinel();
        try {
            readBmp(kept, path);
            ADD_FAILURE() << path << ": no error";
        } catch (const ImageError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        expectSameImage(kept, sentinel());
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST(BmpFile, MissingFileMessageSaysItCannotBeOpened) {
    Image image;
    try {
        readBmp(image, "/nonexistent/dir/sheet.bmp");
        FAIL() << "no error";
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "cannot open /nonexistent/dir/sheet.bmp: No such file or directory");
    }
}

TEST(BmpByExtension, OnlyExactlyDotBmpIsRead) {
    TempDir dir;
    const Bytes good = small8Bit().bytes();
    for (const char* name : {"sheet.bmp", "sheet.Bmp", "sheet.BMP", "sheet"}) writeFile(dir / name, good);

    Image loaded;
    loadByExtension(loaded, dir / "sheet.bmp");
    EXPECT_EQ(loaded.format(), PixelFormat::Indexed8);
    EXPECT_EQ(loaded.pixels(), (std::vector<std::uint32_t>{0, 1, 2, 3, 3, 2, 1, 0}));

    for (const char* name : {"sheet.Bmp", "sheet.BMP", "sheet"}) {
        SCOPED_TRACE(name);
        Image image = sentinel();
        loadByExtension(image, dir / name);
        expectSameImage(image, sentinel());
    }
}

TEST(BmpByExtension, PngNamedBmpFailsAsABitmap) {
    TempDir dir;
    const Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    writeFile(dir / "photo.bmp", png);
    Image image = sentinel();
    try {
        loadByExtension(image, dir / "photo.bmp");
        FAIL() << "no error";
    } catch (const ImageError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(dir / "photo.bmp"), std::string::npos) << message;
        EXPECT_NE(message.find("\"BM\""), std::string::npos) << message;
    }
    expectSameImage(image, sentinel());
}
