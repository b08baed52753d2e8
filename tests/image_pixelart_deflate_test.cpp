// The writer's own deflate encoder: every stream inflates with zlib to
// exactly its input (empty, runs, random bytes, sizes around the block and
// buffer boundaries, pixel-doubled rows, input given in pieces), its codes
// stay within deflate's length limits, and PNG files written with it read
// back pixel for pixel in every format.

#include "image/DeflateBlocks.h"
#include "image/PixelArtDeflate.h"
#include "image/PngReader.h"
#include "image/PngWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace chipshift {
namespace {

using Bytes = std::vector<std::uint8_t>;

// windowBits 15: a zlib stream; -15: bare deflate blocks.
Bytes inflateAll(const Bytes& stream, std::size_t expected, int windowBits = 15) {
    Bytes out(expected + 1);  // one spare byte shows output beyond the input
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, windowBits), Z_OK);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&z, Z_FINISH);
    EXPECT_EQ(status, Z_STREAM_END) << (z.msg ? z.msg : "");
    EXPECT_EQ(z.avail_in, 0u) << "bytes after the end of the stream";
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

Bytes randomBytes(std::size_t n, unsigned seed, int range = 256) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& v : b) v = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(range));
    return b;
}

// Runs of every length from 1 to 300, each of a new byte.
Bytes runsOfEveryLength() {
    Bytes b;
    for (int len = 1; len <= 300; ++len) b.insert(b.end(), static_cast<std::size_t>(len), static_cast<std::uint8_t>(len * 7));
    return b;
}

// Filtered rows of a pixel-doubled RGB sheet: tiles of 16 pixels doubled to
// 32, each unique row unfiltered and followed by an all-zero Up row.
Bytes doubledSheetRows(int tilesAcross, int rows, std::size_t& rowBytes) {
    const int width = tilesAcross * 32;
    rowBytes = 1 + 3 * static_cast<std::size_t>(width);
    const Bytes tile = randomBytes(16 * 16 * 3, 9, 6);
    Bytes b;
    for (int y = 0; y < rows; ++y) {
        if (y % 2 == 1) {
            b.push_back(2);
            b.insert(b.end(), rowBytes - 1, 0);
            continue;
        }
        b.push_back(0);
        for (int x = 0; x < width; ++x) {
            const int tx = (x / 2) % 16, ty = (y / 2) % 16, t = x / 32;
            for (int c = 0; c < 3; ++c)
                b.push_back(static_cast<std::uint8_t>(tile[static_cast<std::size_t>((ty * 16 + tx) * 3 + c)] + (t % 3)));
        }
    }
    return b;
}

struct StreamCase {
    std::string name;
    Bytes input;
    PixelArtLayout layout;
};

std::vector<StreamCase> streamCases() {
    // A block closes after 32768 symbols; the input buffer holds 32 KB of
    // history plus 128 KB of new bytes.
    const std::size_t buffer = 32768 + 128 * 1024;
    std::size_t sheetRow = 0;
    Bytes sheet = doubledSheetRows(8, 320, sheetRow);
    std::size_t wideRow = 0;
    Bytes wide = doubledSheetRows(180, 12, wideRow);  // two rows up lies beyond the window
    std::vector<StreamCase> cases = {
        {"empty", {}, {1, 1, 0}},
        {"one byte", {42}, {1, 1, 1}},
        {"two bytes", {0, 0}, {1, 1, 2}},
        {"zeros", Bytes(300000, 0), {769, 3, 300000}},
        {"runs 1 to 300", runsOfEveryLength(), {97, 3, 0}},
        {"random 32767", randomBytes(32767, 1), {301, 3, 32767}},
        {"random 32768", randomBytes(32768, 2), {301, 3, 32768}},
        {"random 32769", randomBytes(32769, 3), {301, 3, 32769}},
        {"random buffer - 1", randomBytes(buffer - 1, 4), {769, 3, 0}},
        {"random buffer + 1", randomBytes(buffer + 1, 5), {769, 3, 0}},
        {"few values, 1 MB", randomBytes(1 << 20, 6, 3), {1537, 3, 1 << 20}},
        {"doubled sheet", sheet, {sheetRow, 3, sheet.size()}},
        {"doubled sheet, size hint too small", sheet, {sheetRow, 3, 1000}},
        {"rows wider than half the window", wide, {wideRow, 3, wide.size()}},
    };
    return cases;
}

TEST(PixelArtDeflate, EveryStreamInflatesToItsInput) {
    for (const StreamCase& c : streamCases()) {
        const Bytes stream = pixelArtCompress(c.input.data(), c.input.size(), c.layout);
        ASSERT_GE(stream.size(), 6u) << c.name;
        EXPECT_EQ((stream[0] << 8 | stream[1]) % 31, 0) << c.name << ": zlib header check";
        EXPECT_TRUE(inflateAll(stream, c.input.size()) == c.input) << c.name;
    }
}

TEST(PixelArtDeflate, InputInPiecesGivesTheSameStream) {
    std::size_t rowBytes = 0;
    const Bytes sheet = doubledSheetRows(30, 400, rowBytes);  // beyond one input buffer
    const PixelArtLayout layout{rowBytes, 3, sheet.size()};
    const Bytes whole = pixelArtCompress(sheet.data(), sheet.size(), layout);
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, rowBytes, std::size_t{70000}}) {
        Bytes stream;
        struct Collect : DeflateSink {
            Bytes& out;
            explicit Collect(Bytes& o) : out(o) {}
            void write(const std::uint8_t* d, std::size_t n) override { out.insert(out.end(), d, d + n); }
        } sink(stream);
        PixelArtDeflate encoder(layout, sink);
        for (std::size_t at = 0; at < sheet.size(); at += piece)
            encoder.add(sheet.data() + at, std::min(piece, sheet.size() - at));
        encoder.finish();
        EXPECT_TRUE(stream == whole) << "pieces of " << piece;
    }
    EXPECT_TRUE(inflateAll(whole, sheet.size()) == sheet);
    EXPECT_LT(whole.size(), sheet.size() / 20) << "the doubled rows and tiles were not found";
}

// A block whose literals and distance codes have Fibonacci frequencies,
// the deepest Huffman trees there are (24 and 20 levels before the limit).
TEST(PixelArtDeflate, BlockWithDeepestTreesInflates) {
    static const int kDistBase[20] = {1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769};
    flate::SymbolBlock block;
    Bytes expected;
    std::uint32_t a = 1, b = 1;
    for (int k = 0; k < 24; ++k, b += a, a = b - a)
        for (std::uint32_t i = 0; i < a; ++i) {
            block.literal(static_cast<std::uint8_t>(k * 10));
            expected.push_back(static_cast<std::uint8_t>(k * 10));
        }
    a = b = 1;
    for (int code = 0; code < 20; ++code, b += a, a = b - a)
        for (std::uint32_t i = 0; i < a; ++i) {
            const int length = 3 + static_cast<int>(i % 256);
            block.match(length, kDistBase[code]);
            for (int j = 0; j < length; ++j) expected.push_back(expected[expected.size() - kDistBase[code]]);
        }
    Bytes stream;
    std::uint32_t bits = 0;
    int bitCount = 0;
    block.writeTo(stream, bits, bitCount, true);
    if (bitCount > 0) stream.push_back(static_cast<std::uint8_t>(bits));
    EXPECT_TRUE(inflateAll(stream, expected.size(), -15) == expected);
}

TEST(PixelArtDeflate, CodeLengthsAreLimitedAndComplete) {
    // Fibonacci frequencies make the deepest possible Huffman tree.
    std::vector<std::uint32_t> freq(40);
    freq[0] = freq[1] = 1;
    for (std::size_t i = 2; i < freq.size(); ++i) freq[i] = freq[i - 1] + freq[i - 2];
    freq[7] = 0;  // an unused symbol gets no code
    for (int maxBits : {7, 15}) {
        std::vector<std::uint8_t> lengths(freq.size());
        flate::huffmanLengths(freq.data(), static_cast<int>(freq.size()), maxBits, lengths.data());
        double kraft = 0;
        for (std::size_t i = 0; i < freq.size(); ++i) {
            if (freq[i] == 0) {
                EXPECT_EQ(lengths[i], 0) << i;
                continue;
            }
            EXPECT_GE(lengths[i], 1) << i;
            EXPECT_LE(lengths[i], maxBits) << i;
            kraft += 1.0 / static_cast<double>(1u << lengths[i]);
        }
        EXPECT_DOUBLE_EQ(kraft, 1.0) << "max " << maxBits;
        EXPECT_LE(lengths.back(), lengths[2]) << "the most frequent symbol has the shortest code";
    }
}

// Pixel-doubled tiles in each format, large enough for several IDAT chunks
// and more than one input buffer of the encoder.
TEST(PixelArtDeflate, PngFilesReadBackInEveryFormat) {
    test::TempDir dir;
    const PixelFormat formats[] = {PixelFormat::Indexed1, PixelFormat::Indexed4, PixelFormat::Indexed8,
                                   PixelFormat::Rgb555,   PixelFormat::Rgb565,   PixelFormat::Rgb24,
                                   PixelFormat::Rgb32};
    for (const PixelFormat f : formats) {
        const std::uint32_t mask = traitsOf(f).allBits;
        const int entries = isIndexed(f) ? traitsOf(f).maxPaletteEntries : 0;
        std::mt19937 rng(11);
        const Image image = test::makeImage(610, 330, f, test::rampPalette(entries), [&](int x, int y) {
            // Doubled 16-pixel tiles, with a noisy band that defeats the matcher.
            if (y > 200 && y < 240) return static_cast<std::uint32_t>(rng()) & mask;
            const std::uint32_t v = static_cast<std::uint32_t>((x / 2 % 16) * 37 + (y / 2 % 16) * 11 + x / 32);
            return (v * 0x9E3779B1u) & mask;
        });
        const std::string path = dir / ("out" + std::to_string(static_cast<int>(f)) + ".png");
        writePng(image, path);
        Image back;
        readPng(back, path);
        ASSERT_EQ(back.width(), image.width()) << static_cast<int>(f);
        ASSERT_EQ(back.height(), image.height());
        if (isIndexed(f)) {
            EXPECT_EQ(back.format(), f);
            EXPECT_TRUE(back.pixels() == image.pixels()) << static_cast<int>(f);
        } else {
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    ASSERT_EQ(back.colorAt(x, y), image.colorAt(x, y)) << static_cast<int>(f) << " at " << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace chipshift
