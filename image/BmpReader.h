#pragma once
// The Windows bitmap reader.

#include "image/Image.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace chipshift {

// Reads the Windows bitmap at path into image: 1-, 4- and 8-bit with colour
// table (RLE4 and RLE8 too), 16-bit 5-5-5 and 5-6-5, 24-bit, 32-bit, rows
// bottom-up or top-down, the 40-byte and newer headers and the 12-byte older
// one. On any failure an ImageError naming path is thrown and image is left
// as it was.
void readBmp(Image& image, const std::string& path);

// The same from bytes in memory; path only names the source in messages.
void readBmpBytes(Image& image, const std::uint8_t* data, std::size_t size, const std::string& path);

}  // namespace chipshift
