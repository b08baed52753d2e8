// The PNG writer's own chunk writer and row filters, read back by libpng:
// pixel-doubled pictures (every second row a repeat, written as filter Up),
// rows that repeat only in part, images whose data spans several IDAT
// chunks, and the order and kinds of the chunks written.

#include "image/PngWriter.h"
#include "tests/support/RawPng.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <string>
#include <vector>

namespace chipshift {
namespace {

using test::TempDir;

using test::RawPng;
using test::readRaw;

// The chunk types of a file in order, with a check of its signature.
std::vector<std::string> chunkTypes(const std::vector<std::uint8_t>& file) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(file.size() >= 8 && std::equal(kSignature, kSignature + 8, file.begin()));
    std::vector<std::string> types;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t n = std::uint32_t(file[at]) << 24 | std::uint32_t(file[at + 1]) << 16 |
                                std::uint32_t(file[at + 2]) << 8 | file[at + 3];
        types.emplace_back(reinterpret_cast<const char*>(&file[at + 4]), 4);
        at += 12 + n;
    }
    return types;
}

// What the file must hold for pixel (x, y), worked out apart from the writer.
Color expectedColour(PixelFormat f, std::uint32_t v) {
    auto w5 = [](std::uint32_t c) { return static_cast<std::uint8_t>(c * 8 + c / 4); };
    auto w6 = [](std::uint32_t c) { return static_cast<std::uint8_t>(c * 4 + c / 16); };
    if (f == PixelFormat::Rgb555) return {w5(v >> 10 & 31), w5(v >> 5 & 31), w5(v & 31)};
    if (f == PixelFormat::Rgb565) return {w5(v >> 11 & 31), w6(v >> 5 & 63), w5(v & 31)};
    return {std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

void expectSamePixels(const Image& image, const RawPng& d) {
    ASSERT_EQ(d.width, png_uint_32(image.width()));
    ASSERT_EQ(d.height, png_uint_32(image.height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t v = image.pixel(x, y);
            if (isIndexed(image.format())) {
                ASSERT_EQ(d.sample(x, y, 0, 1), v) << x << "," << y;
            } else {
                const Color got{std::uint8_t(d.sample(x, y, 0, 3)), std::uint8_t(d.sample(x, y, 1, 3)),
                                std::uint8_t(d.sample(x, y, 2, 3))};
                ASSERT_EQ(got, expectedColour(image.format(), v)) << x << "," << y;
            }
        }
}

struct Case {
    const char* name;
    PixelFormat format;
    int paletteEntries, bitDepth, colorType;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class PngWriterBackend : public ::testing::TestWithParam<Case> {};

// A picture as the converters make them: noise enlarged by pixel doubling,
// so every odd row repeats the row above, plus a few rows that differ from
// the row above in one pixel only and a last row that repeats the first.
Image doubledPicture(const Case& c, int w, int h) {
    const std::uint32_t mask = traitsOf(c.format).allBits;
    return test::makeImage(w, h, c.format, test::rampPalette(c.paletteEntries), [&](int x, int y) {
        const int sx = x / 2, sy = y == h - 1 ? 0 : y / 2;
        std::uint32_t v = std::uint32_t(sx * 2654435761u) ^ std::uint32_t(sy * 40503u + 977u);
        v ^= v >> 13;
        if (y % 8 == 5 && x == w / 2) v += 1;  // a near repeat: one pixel off
        return c.paletteEntries ? v % std::uint32_t(c.paletteEntries) : v & mask;
    });
}

TEST_P(PngWriterBackend, DoubledAndNearRepeatedRowsReadBackExactly) {
    const Case c = GetParam();
    TempDir dir;
    for (const int w : {1, 7, 64}) {
        const Image image = doubledPicture(c, w, 18);
        std::string name = std::to_string(w);
        name += "-wide.png";
        const std::string path = dir / name;
        writePng(image, path);
        RawPng d;
        ASSERT_NO_FATAL_FAILURE(readRaw(path, d));
        EXPECT_EQ(d.bitDepth, c.bitDepth);
        EXPECT_EQ(d.colorType, c.colorType);
        EXPECT_FALSE(d.hasTrns);
        EXPECT_EQ(d.plte, image.palette().entries());
        ASSERT_NO_FATAL_FAILURE(expectSamePixels(image, d)) << "width " << w;
    }
}

TEST_P(PngWriterBackend, ChunksAreSignatureHeaderPaletteDataEnd) {
    const Case c = GetParam();
    TempDir dir;
    const std::string path = dir / "out.png";
    writePng(doubledPicture(c, 16, 6), path);
    std::vector<std::string> want{"IHDR", "PLTE", "IDAT", "IEND"};
    if (!c.paletteEntries) want.erase(want.begin() + 1);
    EXPECT_EQ(chunkTypes(test::readFile(path)), want);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PngWriterBackend,
    ::testing::Values(Case{"Indexed1", PixelFormat::Indexed1, 2, 1, PNG_COLOR_TYPE_PALETTE},
                      Case{"Indexed4", PixelFormat::Indexed4, 16, 4, PNG_COLOR_TYPE_PALETTE},
                      Case{"Indexed8", PixelFormat::Indexed8, 256, 8, PNG_COLOR_TYPE_PALETTE},
                      Case{"Rgb555", PixelFormat::Rgb555, 0, 8, PNG_COLOR_TYPE_RGB},
                      Case{"Rgb565", PixelFormat::Rgb565, 0, 8, PNG_COLOR_TYPE_RGB},
                      Case{"Rgb24", PixelFormat::Rgb24, 0, 8, PNG_COLOR_TYPE_RGB},
                      Case{"Rgb32", PixelFormat::Rgb32, 0, 8, PNG_COLOR_TYPE_RGB}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PngWriterBackend, DataBeyondOneIdatChunkIsSplitAndReadsBack) {
    // Noise does not compress, so 300 x 300 x 3 bytes need several chunks.
    std::uint32_t state = 7;
    const Image image = test::makeImage(300, 300, PixelFormat::Rgb24, Palette{}, [&](int, int) {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    });
    TempDir dir;
    const std::string path = dir / "big.png";
    writePng(image, path);
    const std::vector<std::string> types = chunkTypes(test::readFile(path));
    ASSERT_GE(types.size(), 4u);
    EXPECT_EQ(types.front(), "IHDR");
    EXPECT_EQ(types.back(), "IEND");
    for (std::size_t i = 1; i + 1 < types.size(); ++i) EXPECT_EQ(types[i], "IDAT") << i;
    RawPng d;
    ASSERT_NO_FATAL_FAILURE(readRaw(path, d));
    ASSERT_NO_FATAL_FAILURE(expectSamePixels(image, d));
}

}  // namespace
}  // namespace chipshift
