#pragma once
// The template bitmap moto.bmp that every output is built on.

#include "image/Image.h"

#include <string>

namespace chipshift {

class Template {
public:
    // The moto.bmp beside the running executable, found through the
    // executable's resolved path, so a copy of the program in another folder
    // uses the template beside that copy.
    static Template besideExecutable();

    explicit Template(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // Reads the template from disk into image, every time: nothing is cached,
    // so a template changed between two loads is seen by the second. A
    // missing or damaged template throws ImageError naming its full path.
    void loadInto(Image& image) const;

private:
    std::string path_;
};

// The folder of the running executable, ending in "/".
std::string executableFolder();

}  // namespace chipshift
