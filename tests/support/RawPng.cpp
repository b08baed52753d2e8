#include "tests/support/RawPng.h"

#include <gtest/gtest.h>

#include <csetjmp>

namespace chipshift::test {

RawPng::~RawPng() {
    if (png) png_destroy_read_struct(&png, &info, nullptr);
    if (file) std::fclose(file);
}

namespace {

// Only plain values in this frame, so the longjmp of a libpng error is safe.
bool readRawInto(RawPng& raw) {
    raw.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    raw.info = png_create_info_struct(raw.png);
    if (setjmp(png_jmpbuf(raw.png))) return false;
    png_init_io(raw.png, raw.file);
    png_read_info(raw.png, raw.info);
    png_get_IHDR(raw.png, raw.info, &raw.width, &raw.height, &raw.bitDepth, &raw.colorType, &raw.interlace, nullptr,
                 nullptr);
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(raw.png, raw.info, &entries, &count))
        for (int i = 0; i < count; ++i) raw.plte.push_back({entries[i].red, entries[i].green, entries[i].blue});
    raw.hasTrns = png_get_valid(raw.png, raw.info, PNG_INFO_tRNS) != 0;
    raw.rows.assign(raw.height, std::vector<std::uint8_t>(png_get_rowbytes(raw.png, raw.info)));
    for (auto& r : raw.rows) png_read_row(raw.png, r.data(), nullptr);
    png_read_end(raw.png, raw.info);
    return true;
}

}  // namespace

void readRaw(const std::string& path, RawPng& raw) {
    raw.file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(raw.file, nullptr) << path;
    ASSERT_TRUE(readRawInto(raw)) << "libpng refused " << path;
}

const std::vector<PngOutputCase>& pngOutputTable() {
    static const std::vector<PngOutputCase> table{
        {"Indexed1", PixelFormat::Indexed1, 2, 1, PNG_COLOR_TYPE_PALETTE},
        {"Indexed4", PixelFormat::Indexed4, 16, 4, PNG_COLOR_TYPE_PALETTE},
        {"Indexed8", PixelFormat::Indexed8, 256, 8, PNG_COLOR_TYPE_PALETTE},
        {"Rgb555", PixelFormat::Rgb555, 0, 8, PNG_COLOR_TYPE_RGB},
        {"Rgb565", PixelFormat::Rgb565, 0, 8, PNG_COLOR_TYPE_RGB},
        {"Rgb24", PixelFormat::Rgb24, 0, 8, PNG_COLOR_TYPE_RGB},
        {"Rgb32", PixelFormat::Rgb32, 0, 8, PNG_COLOR_TYPE_RGB},
    };
    return table;
}

void PrintTo(const PngOutputCase& c, std::ostream* os) { *os << c.name; }

Color expectedPngColour(PixelFormat f, std::uint32_t v) {
    auto w5 = [](std::uint32_t c) { return static_cast<std::uint8_t>(c * 8 + c / 4); };
    auto w6 = [](std::uint32_t c) { return static_cast<std::uint8_t>(c * 4 + c / 16); };
    if (f == PixelFormat::Rgb555) return {w5(v >> 10 & 31), w5(v >> 5 & 31), w5(v & 31)};
    if (f == PixelFormat::Rgb565) return {w5(v >> 11 & 31), w6(v >> 5 & 63), w5(v & 31)};
    return {std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

void expectPixelsAsWritten(const Image& image, const RawPng& raw) {
    ASSERT_EQ(raw.width, png_uint_32(image.width()));
    ASSERT_EQ(raw.height, png_uint_32(image.height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t v = image.pixel(x, y);
            if (isIndexed(image.format())) {
                ASSERT_EQ(raw.sample(x, y, 0, 1), v) << x << "," << y;
            } else {
                const Color got{std::uint8_t(raw.sample(x, y, 0, 3)), std::uint8_t(raw.sample(x, y, 1, 3)),
                                std::uint8_t(raw.sample(x, y, 2, 3))};
                ASSERT_EQ(got, expectedPngColour(image.format(), v)) << x << "," << y;
            }
        }
}

}  // namespace chipshift::test
