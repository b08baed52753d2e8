// Decoding the pixel data of a Windows bitmap: uncompressed rows padded to
// four bytes, and the run-length codings of 8- and 4-bit files.

#include "image/BmpFormat.h"

#include <algorithm>

namespace chipshift::bmp {

namespace {

std::uint32_t sampleAt(const std::uint8_t* row, int x, int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u;
        case 8: return row[x];
        case 16: return le16(row + 2 * x);
        case 24: {
            const std::uint8_t* p = row + 3 * x;  // blue, green, red
            return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
        }
        default: return le32(row + 4 * x);  // blue, green, red, fourth byte
    }
}

// One stored row; the depth is fixed per instance so that the per-pixel
// switch above folds away. A template is read from disk at every load, so
// this loop runs for every output a converter writes.
template <int BitsPerPixel>
void decodeRow(const std::uint8_t* row, int width, std::uint32_t* out) {
    for (int x = 0; x < width; ++x) out[x] = sampleAt(row, x, BitsPerPixel);
}

using RowDecoder = void (*)(const std::uint8_t*, int, std::uint32_t*);

RowDecoder rowDecoderFor(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1: return decodeRow<1>;
        case 4: return decodeRow<4>;
        case 8: return decodeRow<8>;
        case 16: return decodeRow<16>;
        case 24: return decodeRow<24>;
        default: return decodeRow<32>;
    }
}

std::vector<std::uint32_t> decodeRows(const Layout& l, const std::uint8_t* data, std::size_t size,
                                      const std::string& path) {
    const std::uint64_t w = static_cast<std::uint64_t>(l.width);
    const std::uint64_t h = static_cast<std::uint64_t>(l.height);
    const std::uint64_t bits = w * static_cast<std::uint64_t>(l.bitsPerPixel);
    const std::uint64_t rowBytes = (bits + 31) / 32 * 4;
    // The last row's padding may be missing: writers differ there, and no
    // pixel lives in it.
    const std::uint64_t needed = rowBytes * (h - 1) + (bits + 7) / 8;
    if (needed > size - l.pixelOffset) fail(path, "pixel data cut short");

    std::vector<std::uint32_t> pixels(w * h);
    const RowDecoder decode = rowDecoderFor(l.bitsPerPixel);
    for (std::uint64_t stored = 0; stored < h; ++stored) {
        const std::uint8_t* row = data + l.pixelOffset + stored * rowBytes;
        const std::uint64_t y = l.topDown ? stored : h - 1 - stored;
        std::uint32_t* out = pixels.data() + y * w;
        decode(row, l.width, out);
    }
    return pixels;
}

// A run-length stream is a sequence of two-byte records: a count and a value
// (a run of count pixels), or 0 and an escape: 0 end of row, 1 end of bitmap,
// 2 a move right and down by the next two bytes, 3 and more a literal run of
// that many pixels padded to an even number of bytes. In 4-bit files a value
// byte holds two pixels that alternate, high half first.
//
// Damaged streams are clipped rather than refused: pixels that a run puts
// past the end of a row, and anything past the last row, are dropped. A
// stream that stops early, with or without a record cut short, leaves the
// pixels it never reached at index 0, as do moves that skip them.
std::vector<std::uint32_t> decodeRle(const Layout& l, const std::uint8_t* data, std::size_t size) {
    const std::int64_t w = l.width, h = l.height;
    const bool fourBit = l.encoding == Encoding::Rle4;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w * h), 0);

    std::uint64_t pos = l.pixelOffset;
    std::int64_t x = 0, stored = 0;  // stored rows count from the first one in the file
    const auto left = [&] { return size - pos; };
    const auto put = [&](std::uint32_t v) {
        if (x < w) {
            const std::int64_t y = l.topDown ? stored : h - 1 - stored;
            pixels[static_cast<std::size_t>(y * w + x)] = v;
        }
        ++x;
    };
    const auto nibble = [](std::uint8_t byte, int i) -> std::uint32_t { return i % 2 ? byte & 15u : byte >> 4; };

    while (stored < h && left() >= 2) {
        const std::uint8_t count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(fourBit ? nibble(value, i) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++stored;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (left() < 2) break;
            x += data[pos];
            stored += data[pos + 1];
            pos += 2;
        } else {
            const std::uint64_t bytes = fourBit ? (value + 1u) / 2 : value;
            const std::uint64_t present = std::min<std::uint64_t>(bytes, left());
            for (int i = 0; i < value; ++i) {
                const std::uint64_t at = fourBit ? static_cast<std::uint64_t>(i / 2) : static_cast<std::uint64_t>(i);
                if (at >= present) break;
                put(fourBit ? nibble(data[pos + at], i) : data[pos + at]);
            }
            if (present < bytes) break;
            pos += std::min<std::uint64_t>(bytes + (bytes & 1), left());
        }
    }
    return pixels;
}

}  // namespace

std::vector<std::uint32_t> decodePixels(const Layout& layout, const std::uint8_t* data, std::size_t size,
                                        const std::string& path) {
    if (layout.encoding == Encoding::Rows) return decodeRows(layout, data, size, path);
    return decodeRle(layout, data, size);
}

}  // namespace chipshift::bmp
