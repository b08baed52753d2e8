#include "tests/support/BmpBuilder.h"

#include <algorithm>

namespace chipshift::test {

namespace {
void put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
}  // namespace

std::vector<std::uint8_t> BmpBuilder::bytes() const {
    const bool core = headerSize == 12;
    const bool masksInside = headerSize >= 52 && headerSize != 64;
    std::vector<std::uint8_t> header;
    put32(header, headerSize);
    if (core) {
        put16(header, static_cast<std::uint32_t>(width));
        put16(header, static_cast<std::uint32_t>(height));
        put16(header, 1);
        put16(header, bitsPerPixel);
    } else {
        put32(header, static_cast<std::uint32_t>(width));
        put32(header, static_cast<std::uint32_t>(height));
        put16(header, 1);
        put16(header, bitsPerPixel);
        put32(header, compression);
        put32(header, static_cast<std::uint32_t>(pixelData.size()));
        put32(header, 2835);
        put32(header, 2835);
        put32(header, coloursUsed);
        put32(header, 0);
        if (masksInside)
            for (std::uint32_t m : masks) put32(header, m);
    }
    header.resize(std::max<std::size_t>(header.size(), headerSize), 0);
    if (!masksInside)
        for (std::uint32_t m : masks) put32(header, m);
    for (const Color& c : table) {
        header.push_back(c.b);
        header.push_back(c.g);
        header.push_back(c.r);
        if (!core) header.push_back(0);
    }

    const auto offset = static_cast<std::uint32_t>(14 + header.size());
    std::vector<std::uint8_t> b{'B', 'M'};
    put32(b, static_cast<std::uint32_t>(offset + pixelData.size()));
    put32(b, 0);
    put32(b, pixelOffset.value_or(offset));
    b.insert(b.end(), header.begin(), header.end());
    b.insert(b.end(), pixelData.begin(), pixelData.end());
    return b;
}

std::vector<std::uint8_t> packRows(const std::vector<std::uint32_t>& pixels, int width, int height,
                                   int bitsPerPixel, bool topDown) {
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    for (int stored = 0; stored < height; ++stored) {
        const int y = topDown ? stored : height - 1 - stored;
        std::vector<std::uint8_t> row(rowBytes, 0xFF);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = pixels[static_cast<std::size_t>(y) * width + x];
            if (bitsPerPixel < 8) {
                const int perByte = 8 / bitsPerPixel;
                const int shift = (perByte - 1 - x % perByte) * bitsPerPixel;
                const auto mask = static_cast<std::uint8_t>(((1u << bitsPerPixel) - 1) << shift);
                std::uint8_t& byte = row[static_cast<std::size_t>(x / perByte)];
                byte = static_cast<std::uint8_t>((byte & ~mask) | ((v << shift) & mask));
            } else {
                const int n = bitsPerPixel / 8;
                for (int k = 0; k < n; ++k)
                    row[static_cast<std::size_t>(x) * n + k] = static_cast<std::uint8_t>(v >> (8 * k));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace chipshift::test
