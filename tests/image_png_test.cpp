// PNG output read back with libpng itself, decoding round trips, decoding
// failures the conformance corpus lacks, and the safety of replacing files.

#include "image/ImageError.h"
#include "image/LoadByExtension.h"
#include "image/PngReader.h"
#include "image/PngWriter.h"
#include "tests/support/RawPng.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <sys/resource.h>
#include <sys/stat.h>

namespace chipshift {
namespace {

using test::TempDir;

using test::RawPng;
using test::readRaw;

// ---- PNG files built by hand, for damage the writer never makes ----

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}

void putChunk(std::vector<std::uint8_t>& b, const char* type, const std::vector<std::uint8_t>& data) {
    put32(b, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = b.size();
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), data.begin(), data.end());
    put32(b, static_cast<std::uint32_t>(crc32(0, b.data() + start, static_cast<uInt>(b.size() - start))));
}

std::vector<std::uint8_t> deflated(const std::vector<std::uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> out(size);
    compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    out.resize(size);
    return out;
}

struct Header {
    std::uint32_t width = 1, height = 1;
    std::uint8_t bitDepth = 8, colorType = 0, compression = 0, filter = 0, interlace = 0;
};

// A PNG of the given header, an optional PLTE and raw (filter byte included)
// row data, deflated into one IDAT.
std::vector<std::uint8_t> pngFile(const Header& h, const std::vector<std::uint8_t>& rows,
                                  const std::vector<std::uint8_t>& plte = {}) {
    std::vector<std::uint8_t> b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    put32(ihdr, h.width);
    put32(ihdr, h.height);
    ihdr.insert(ihdr.end(), {h.bitDepth, h.colorType, h.compression, h.filter, h.interlace});
    putChunk(b, "IHDR", ihdr);
    if (!plte.empty()) putChunk(b, "PLTE", plte);
    putChunk(b, "IDAT", deflated(rows));
    putChunk(b, "IEND", {});
    return b;
}

Image noiseRgb(int w, int h) {
    std::uint32_t state = 12345;
    return test::makeImage(w, h, PixelFormat::Rgb24, {}, [&](int, int) {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    });
}

bool sameImage(const Image& a, const Image& b) {
    return a.width() == b.width() && a.height() == b.height() && a.format() == b.format() &&
           a.palette() == b.palette() && a.pixels() == b.pixels();
}

void expectErrorNaming(const std::string& path, const std::function<void()>& action) {
    try {
        action();
        ADD_FAILURE() << "no error for " << path;
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
}

// ---- output table ----

using WriteCase = test::PngOutputCase;

class PngOutputFormat : public ::testing::TestWithParam<WriteCase> {};

TEST_P(PngOutputFormat, WritesOwnFormatWithoutTransparency) {
    const WriteCase c = GetParam();
    const int w = 37, h = 5;
    const std::uint32_t mask = traitsOf(c.format).allBits;
    std::uint32_t state = 99;
    const Image image = test::makeImage(w, h, c.format, test::rampPalette(c.paletteEntries), [&](int x, int y) {
        // Every value of the small formats appears, then noise (with the
        // ignored top bit of 5-5-5 and the fourth byte of 32-bit set at times).
        state = state * 1103515245u + 12345u;
        const std::uint32_t v = y == 0 ? std::uint32_t(x) : state;
        return c.paletteEntries ? v % std::uint32_t(c.paletteEntries) : v & mask;
    });
    TempDir dir;
    const std::string path = dir / "out.png";
    writePng(image, path);

    RawPng raw;
    ASSERT_NO_FATAL_FAILURE(readRaw(path, raw));
    EXPECT_EQ(raw.width, png_uint_32(w));
    EXPECT_EQ(raw.height, png_uint_32(h));
    EXPECT_EQ(raw.bitDepth, c.bitDepth);
    EXPECT_EQ(raw.colorType, c.colorType);
    EXPECT_EQ(raw.interlace, PNG_INTERLACE_NONE);
    EXPECT_FALSE(raw.hasTrns);
    EXPECT_EQ(raw.plte.size() * 3, std::size_t(c.paletteEntries) * 3);  // 768 bytes for 256 entries
    EXPECT_EQ(raw.plte, image.palette().entries());
    test::expectPixelsAsWritten(image, raw);
}

INSTANTIATE_TEST_SUITE_P(Formats, PngOutputFormat, ::testing::ValuesIn(test::pngOutputTable()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngOutput, FullAndLowChannelsWidenByRepeatingTopBits) {
    // Rgb565: red 31, green 1, blue 16 -> 255, 4, 132; Rgb555: 1, 31, 0 -> 8, 255, 0.
    const Image i565 = test::makeImage(1, 1, PixelFormat::Rgb565, {}, [](int, int) { return (31u << 11) | (1u << 5) | 16u; });
    const Image i555 = test::makeImage(1, 1, PixelFormat::Rgb555, {}, [](int, int) { return 0x8000u | (1u << 10) | (31u << 5); });
    TempDir dir;
    writePng(i565, dir / "a.png");
    writePng(i555, dir / "b.png");
    RawPng a, b;
    ASSERT_NO_FATAL_FAILURE(readRaw(dir / "a.png", a));
    ASSERT_NO_FATAL_FAILURE(readRaw(dir / "b.png", b));
    EXPECT_EQ(a.rows[0], (std::vector<std::uint8_t>{255, 4, 132}));
    EXPECT_EQ(b.rows[0], (std::vector<std::uint8_t>{8, 255, 0}));
}

TEST(PngOutput, ThirtyTwoBitGivesSamePixelDataAsTwentyFourBit) {
    const Image rgb24 = noiseRgb(19, 7);
    std::vector<std::uint32_t> withFourth = rgb24.pixels();
    for (auto& v : withFourth) v |= 0xA5000000u;
    Image rgb32;
    rgb32.assign(19, 7, PixelFormat::Rgb32, {}, withFourth);
    TempDir dir;
    writePng(rgb24, dir / "24.png");
    writePng(rgb32, dir / "32.png");
    RawPng a, b;
    ASSERT_NO_FATAL_FAILURE(readRaw(dir / "24.png", a));
    ASSERT_NO_FATAL_FAILURE(readRaw(dir / "32.png", b));
    EXPECT_EQ(a.rows, b.rows);
}

TEST(PngOutput, LowDepthRowsRoundTripAtEveryPackingWidth) {
    TempDir dir;
    for (PixelFormat f : {PixelFormat::Indexed1, PixelFormat::Indexed4})
        for (int w : {1, 7, 8, 9, 15, 16, 17}) {
            const int entries = traitsOf(f).maxPaletteEntries;
            const Image image = test::makeImage(w, 3, f, test::rampPalette(entries, w),
                                                [&](int x, int y) { return std::uint32_t(x * 5 + y * 3 + w) % entries; });
            const std::string path = dir / ("w" + std::to_string(w) + ".png");
            writePng(image, path);
            Image back;
            readPng(back, path);
            EXPECT_TRUE(sameImage(back, image)) << "format " << int(f) << " width " << w;
        }
}

TEST(PngOutput, IndexBeyondPaletteIsWrittenWithBlackPaddingAndReadBackKept) {
    const Palette three(std::vector<Color>{{10, 20, 30}, {40, 50, 60}, {70, 80, 90}});
    const Image image = test::makeImage(4, 1, PixelFormat::Indexed8, three, [](int x, int) { return x == 3 ? 9u : std::uint32_t(x); });
    TempDir dir;
    writePng(image, dir / "pad.png");
    RawPng raw;
    ASSERT_NO_FATAL_FAILURE(readRaw(dir / "pad.png", raw));
    ASSERT_EQ(raw.plte.size(), 10u);
    EXPECT_EQ(raw.plte[2], (Color{70, 80, 90}));
    EXPECT_EQ(raw.plte[9], (Color{0, 0, 0}));

    // A file whose PLTE is shorter than its indices: the index stays.
    const std::vector<std::uint8_t> bytes = pngFile({2, 1, 8, 3}, {0, 1, 7}, {1, 2, 3, 4, 5, 6});
    Image back;
    readPngBytes(back, bytes.data(), bytes.size(), "short.png");
    EXPECT_EQ(back.palette().size(), 2);
    EXPECT_EQ(back.pixels(), (std::vector<std::uint32_t>{1, 7}));
    EXPECT_EQ(back.colorAt(1, 0), (Color{0, 0, 0}));
}

TEST(PngOutput, EmptyImageIsRefusedAndNothingCreated) {
    TempDir dir;
    const std::string path = dir / "empty.png";
    expectErrorNaming(path, [&] { writePng(Image{}, path); });
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// ---- decoding ----

TEST(PngDecoding, SixteenBitSamplesGiveTheirHighByteNeverRounded) {
    const std::vector<std::uint8_t> rgb = pngFile({1, 1, 16, 2}, {0, 0x12, 0xAB, 0x34, 0xFF, 0x56, 0x80});
    const std::vector<std::uint8_t> grey = pngFile({1, 1, 16, 0}, {0, 0xD5, 0xFF});
    Image a, b;
    readPngBytes(a, rgb.data(), rgb.size(), "rgb16.png");
    readPngBytes(b, grey.data(), grey.size(), "grey16.png");
    EXPECT_EQ(a.format(), PixelFormat::Rgb24);
    EXPECT_EQ(a.pixel(0, 0), 0x123456u);
    EXPECT_EQ(b.format(), PixelFormat::Indexed8);
    EXPECT_EQ(b.pixel(0, 0), 0xD5u);
}

struct BadFile {
    const char* name;
    std::optional<std::vector<std::uint8_t>> bytes;  // none: the file is missing
};

// A valid file with a text chunk inserted after IHDR that claims 2 GiB.
std::vector<std::uint8_t> hugeTextChunk() {
    TempDir dir;
    writePng(noiseRgb(4, 4), dir / "whole.png");
    std::vector<std::uint8_t> b = test::readFile(dir / "whole.png");
    const std::vector<std::uint8_t> chunk{0x7F, 0xFF, 0xFF, 0xF0, 'i', 'T', 'X', 't', 'T', 'i', 't', 'l', 'e', 0};
    b.insert(b.begin() + 8 + 25, chunk.begin(), chunk.end());
    return b;
}

std::vector<std::uint8_t> cutShort() {
    TempDir dir;
    writePng(noiseRgb(64, 64), dir / "whole.png");
    std::vector<std::uint8_t> b = test::readFile(dir / "whole.png");
    b.resize(b.size() / 2);
    return b;
}

TEST(PngDecoding, DamagedFilesFailNamingThePathAndLeaveTheImage) {
    const std::vector<std::uint8_t> twoGreyRows = {0, 1, 2, 0, 3, 4};
    const std::vector<BadFile> cases = {
        {"missing", std::nullopt},
        {"empty", std::vector<std::uint8_t>{}},
        {"signature only", std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}},
        {"image data cut short", cutShort()},
        {"undefined row filter", pngFile({2, 2, 8, 0}, {0, 1, 2, 5, 3, 4})},
        {"undefined compression method", pngFile({2, 2, 8, 0, 1}, twoGreyRows)},
        {"undefined filter method", pngFile({2, 2, 8, 0, 0, 1}, twoGreyRows)},
        {"undefined interlace method", pngFile({2, 2, 8, 0, 0, 0, 2}, twoGreyRows)},
        {"too few rows of data", pngFile({2, 3, 8, 0}, twoGreyRows)},
        {"width above the limit", pngFile({20000, 1, 8, 0}, twoGreyRows)},
        {"height far above the limit", pngFile({1, 0x7FFFFFFF, 8, 0}, twoGreyRows)},
        {"chunk longer than the file", hugeTextChunk()},
        {"palette image without PLTE", pngFile({2, 2, 8, 3}, twoGreyRows)},
        {"bitmap named .png",
         test::encodeBmp(test::makeImage(2, 2, PixelFormat::Rgb24, {}, [](int x, int) { return std::uint32_t(x); }))},
    };
    TempDir dir;
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / (std::string(c.name) + ".png");
        if (c.bytes) test::writeFile(path, *c.bytes);
        const Image before = test::makeImage(2, 1, PixelFormat::Indexed4, test::rampPalette(3), [](int x, int) { return std::uint32_t(x); });
        Image image = before;
        expectErrorNaming(path, [&] { loadByExtension(image, path); });
        EXPECT_TRUE(sameImage(image, before));
    }
}

TEST(PngDecoding, OnlyTheExactLowerCaseExtensionIsRead) {
    const Image image = noiseRgb(3, 2);
    TempDir dir;
    writePng(image, dir / "a.png");
    writePng(image, dir / "a.PNG");
    Image lower, upper;
    loadByExtension(lower, dir / "a.png");
    loadByExtension(upper, dir / "a.PNG");
    EXPECT_TRUE(sameImage(lower, image));
    EXPECT_TRUE(upper.empty());
    EXPECT_EQ(upper.format(), PixelFormat::None);
}

// ---- replacing files safely ----

std::vector<std::string> folderEntries(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Makes every write past `bytes` fail with EFBIG for as long as it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = saved_;
        lower.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST(PngReplacing, ExistingFileIsReplacedKeepingItsPermissions) {
    TempDir dir;
    const std::string path = dir / "out.png";
    test::writeFile(path, {1, 2, 3});
    ::chmod(path.c_str(), 0640);
    const Image image = noiseRgb(5, 4);
    writePng(image, path);
    Image back;
    readPng(back, path);
    EXPECT_TRUE(sameImage(back, image));
    EXPECT_EQ(modeOf(path), mode_t(0640));
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"out.png"});
}

TEST(PngReplacing, NewFileTakesTheUsualCreateMode) {
    TempDir dir;
    const mode_t saved = ::umask(022);
    writePng(noiseRgb(2, 2), dir / "a.png");
    ::umask(077);
    writePng(noiseRgb(2, 2), dir / "b.png");
    ::umask(saved);
    EXPECT_EQ(modeOf(dir / "a.png"), mode_t(0644));
    EXPECT_EQ(modeOf(dir / "b.png"), mode_t(0600));
}

TEST(PngReplacing, FailedWriteLeavesTheEarlierFileAndNoTemporary) {
    TempDir dir;
    const std::string path = dir / "out.png";
    const Image small = noiseRgb(4, 4);
    writePng(small, path);
    const std::vector<std::uint8_t> earlier = test::readFile(path);
    {
        FileSizeLimit limit(4096);  // the noise below compresses to far more
        expectErrorNaming(path, [&] { writePng(noiseRgb(200, 200), path); });
    }
    EXPECT_EQ(test::readFile(path), earlier);
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"out.png"});
}

TEST(PngReplacing, ReadOnlyFileIsRefusedAndUnchangedEvenForRoot) {
    TempDir dir;
    const std::string path = dir / "locked.png";
    test::writeFile(path, {7, 7, 7});
    ::chmod(path.c_str(), 0444);
    expectErrorNaming(path, [&] { writePng(noiseRgb(3, 3), path); });
    EXPECT_EQ(test::readFile(path), (std::vector<std::uint8_t>{7, 7, 7}));
    EXPECT_EQ(modeOf(path), mode_t(0444));
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"locked.png"});
}

TEST(PngReplacing, MissingFolderOrAFolderPathIsRefusedNamingThePath) {
    TempDir dir;
    ::mkdir((dir / "sub").c_str(), 0755);
    for (const std::string& path : {dir / "gone/out.png", dir / "sub", dir / "sub/"}) {
        SCOPED_TRACE(path);
        expectErrorNaming(path, [&] { writePng(noiseRgb(3, 3), path); });
    }
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"sub"});
    EXPECT_TRUE(std::filesystem::is_empty(dir / "sub"));
}

}  // namespace
}  // namespace chipshift
