#include "image/Template.h"

#include "image/BmpReader.h"

#include <climits>
#include <stdexcept>
#include <unistd.h>

namespace chipshift {

std::string executableFolder() {
    std::string buffer(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0) return "./";
    buffer.resize(static_cast<std::size_t>(n));
    return buffer.substr(0, buffer.rfind('/') + 1);
}

Template Template::besideExecutable() { return Template(executableFolder() + "moto.bmp"); }

void Template::loadInto(Image& image) const { readBmp(image, path_); }

}  // namespace chipshift
