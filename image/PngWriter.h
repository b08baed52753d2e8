#pragma once
// PNG output of an image in its own pixel format.

#include "image/Image.h"

#include <string>

namespace chipshift {

// Writes image to path as a PNG file, not interlaced:
//   1-, 4-, 8-bit indexed -> bit depth 1, 4, 8, colour type 3, PLTE of every entry
//   16-, 24-, 32-bit      -> bit depth 8, colour type 2 (16-bit channels widened)
// Never tRNS or alpha. The file is written under a temporary name in the same
// folder and renamed over path only when complete, so a failed write leaves
// whatever stood at path untouched. An existing file at path that cannot be
// written (no write permission bit) is refused. Failures throw ImageError
// naming path.
void writePng(const Image& image, const std::string& path);

}  // namespace chipshift
