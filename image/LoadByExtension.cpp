#include "image/LoadByExtension.h"

#include "image/BmpReader.h"
#include "image/PngReader.h"

namespace chipshift {

std::string extensionOf(const std::string& path) {
    // Byte-wise search is safe for every encoding a name may come in: neither
    // UTF-8 continuation bytes nor Shift JIS trail bytes (0x40 and above) can
    // take the value of "." or "/".
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return {};
    return path.substr(dot);
}

void loadByExtension(Image& image, const std::string& path) {
    const std::string ext = extensionOf(path);
    if (ext == ".png") {
        readPng(image, path);
    } else if (ext == ".bmp") {
        readBmp(image, path);
    }
}

}  // namespace chipshift
