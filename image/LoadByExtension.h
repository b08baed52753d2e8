#pragma once

#include "image/Image.h"

#include <string>

namespace chipshift {

// The extension of a path: from its last "." to the end, provided no "/"
// stands after it; otherwise empty.
std::string extensionOf(const std::string& path);

// Reads path into image when its extension is exactly ".png" (tested first)
// or exactly ".bmp"; any other extension reads nothing and leaves the image
// as it was.
void loadByExtension(Image& image, const std::string& path);

}  // namespace chipshift
