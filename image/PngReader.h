#pragma once
// PNG decoding into an image (libpng underneath).

#include "image/Image.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace chipshift {

// Decodes the PNG file at path into image. Palette images keep their indices
// and PLTE (bit depth 2 becomes 4-bit indexed); grey becomes indexed with an
// evenly spaced grey palette; RGB and RGBA become 24-bit; 16-bit samples give
// their high byte; alpha and tRNS never change a pixel. On any failure an
// ImageError naming path is thrown and image is left as it was.
void readPng(Image& image, const std::string& path);

// The same from bytes in memory; path only names the source in messages.
void readPngBytes(Image& image, const std::uint8_t* data, std::size_t size, const std::string& path);

}  // namespace chipshift
