#include "bench/BmpOut.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace chipshift::bench {

namespace {

void put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

}  // namespace

void writeBmp8(const Image& image, const std::string& path) {
    if (image.format() != PixelFormat::Indexed8) throw std::invalid_argument(path + ": not an 8-bit image");
    const auto colours = static_cast<std::uint32_t>(image.palette().size());
    const auto stride = static_cast<std::uint32_t>((image.width() + 3) & ~3);
    const std::uint32_t dataOffset = 14 + 40 + 4 * colours;
    const std::uint32_t dataSize = stride * static_cast<std::uint32_t>(image.height());

    std::vector<std::uint8_t> b;
    b.reserve(dataOffset + dataSize);
    b.push_back('B');
    b.push_back('M');
    put32(b, dataOffset + dataSize);
    put32(b, 0);
    put32(b, dataOffset);
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(image.width()));
    put32(b, static_cast<std::uint32_t>(image.height()));
    put16(b, 1);
    put16(b, 8);
    put32(b, 0);  // BI_RGB
    put32(b, dataSize);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, colours);
    put32(b, colours);
    for (const Color& c : image.palette().entries()) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = image.height() - 1; y >= 0; --y) {
        const std::uint32_t* row = image.row(y);
        for (int x = 0; x < image.width(); ++x) b.push_back(static_cast<std::uint8_t>(row[x]));
        for (std::uint32_t x = static_cast<std::uint32_t>(image.width()); x < stride; ++x) b.push_back(0);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    if (!out) throw std::runtime_error(path + ": cannot write");
}

}  // namespace chipshift::bench
