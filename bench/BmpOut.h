#pragma once
// Writes 8-bit Windows bitmaps with a colour table, as the old drawing tools
// saved their sheets. Only the generator needs to write bitmaps.

#include "image/Image.h"

#include <string>

namespace chipshift::bench {

// image must be 8-bit indexed. The colour table holds exactly the palette's
// entries; rows are stored bottom-up and padded to four bytes.
void writeBmp8(const Image& image, const std::string& path);

}  // namespace chipshift::bench
