#pragma once
// A PNG file as libpng itself reads it, with no transform: the header, the
// PLTE, whether there is a tRNS, and the rows as stored after unfiltering.
// The tests use it as a decoder independent of the project's own reader.

#include "image/Color.h"
#include "image/Image.h"

#include <png.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace chipshift::test {

struct RawPng {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_uint_32 width = 0, height = 0;
    std::vector<Color> plte;
    bool hasTrns = false;
    std::vector<std::vector<std::uint8_t>> rows;  // packed as stored

    RawPng() = default;
    RawPng(const RawPng&) = delete;
    RawPng& operator=(const RawPng&) = delete;
    ~RawPng();

    // The sample of pixel x, channel c, read from the packed row.
    unsigned sample(int x, int y, int channel = 0, int channels = 1) const {
        const std::vector<std::uint8_t>& r = rows[static_cast<std::size_t>(y)];
        const std::size_t bit = (std::size_t(x) * channels + channel) * bitDepth;
        return (r[bit / 8] >> (8 - bitDepth - bit % 8)) & ((1u << bitDepth) - 1);
    }
};

// Reads path into raw; a gtest failure when the file is missing or libpng
// refuses it.
void readRaw(const std::string& path, RawPng& raw);

// One row of the PNG output table: what an image of each pixel format must
// be written as.
struct PngOutputCase {
    const char* name;
    PixelFormat format;
    int paletteEntries;  // of the test image; 0 for direct colour
    int bitDepth, colorType;
};
const std::vector<PngOutputCase>& pngOutputTable();
void PrintTo(const PngOutputCase& c, std::ostream* os);

// The 8-bit channels a direct-colour pixel must be written as, worked out
// apart from the writer (16-bit channels widened by repeating top bits).
Color expectedPngColour(PixelFormat f, std::uint32_t v);

// Every pixel of raw is what image must be written as: the index for an
// indexed image, the expected channels otherwise.
void expectPixelsAsWritten(const Image& image, const RawPng& raw);

}  // namespace chipshift::test
