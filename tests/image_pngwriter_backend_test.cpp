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

using Case = test::PngOutputCase;

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
        ASSERT_NO_FATAL_FAILURE(test::expectPixelsAsWritten(image, d)) << "width " << w;
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

INSTANTIATE_TEST_SUITE_P(Formats, PngWriterBackend, ::testing::ValuesIn(test::pngOutputTable()),
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
    ASSERT_NO_FATAL_FAILURE(test::expectPixelsAsWritten(image, d));
}

}  // namespace
}  // namespace chipshift
