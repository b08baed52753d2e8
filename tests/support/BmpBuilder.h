#pragma once
// A Windows bitmap assembled field by field, so that tests can make every
// header variant, compression and damaged file that the plain writer of
// TestSupport never makes.

#include "image/Color.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace chipshift::test {

struct BmpBuilder {
    std::uint32_t headerSize = 40;  // 12 (the older variant), 40, 52, 56, 64, 108, 124, or anything
    std::int32_t width = 1;         // the 12-byte header keeps the low 16 bits
    std::int32_t height = 1;        // negative: rows stored top-down
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    // Inside a header of 52 bytes or more (but not the 64-byte one), else
    // written right after the header.
    std::vector<std::uint32_t> masks;
    // 3 bytes an entry with the 12-byte header, else 4.
    std::vector<Color> table;
    std::vector<std::uint8_t> pixelData;
    // Where the pixel data is said to start; by default right after the table.
    std::optional<std::uint32_t> pixelOffset;

    std::vector<std::uint8_t> bytes() const;
};

// Packs pixel values (top row first) into rows of the given depth, padded to
// four bytes and stored bottom-up unless topDown. Bits and bytes that hold no
// pixel are set, so a reader that looks at them shows it.
std::vector<std::uint8_t> packRows(const std::vector<std::uint32_t>& pixels, int width, int height,
                                   int bitsPerPixel, bool topDown);

}  // namespace chipshift::test
