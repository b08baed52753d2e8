#pragma once
// The inner parts of the Windows bitmap reader: what the headers say about a
// file, and the decoding of its pixel data. Only BmpReader.cpp uses these.

#include "image/Palette.h"
#include "image/PixelFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace chipshift::bmp {

enum class Encoding { Rows, Rle8, Rle4 };

// Everything needed to decode the pixel data, checked against the file: the
// sizes are within kMaxImageSide, the colour table lies inside the file and
// the pixel data starts inside it.
struct Layout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    Encoding encoding = Encoding::Rows;
    PixelFormat format = PixelFormat::None;
    Palette palette;
    std::uint64_t pixelOffset = 0;
};

Layout parseHeaders(const std::uint8_t* data, std::size_t size, const std::string& path);

// One value a pixel, top row first, in the image model's form.
std::vector<std::uint32_t> decodePixels(const Layout& layout, const std::uint8_t* data, std::size_t size,
                                        const std::string& path);

// Every reading failure names the file.
[[noreturn]] void fail(const std::string& path, const std::string& what);

inline std::uint32_t le16(const std::uint8_t* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }
inline std::uint32_t le32(const std::uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

}  // namespace chipshift::bmp
