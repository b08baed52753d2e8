// The Windows bitmap reader: the file is read whole into memory, its headers
// are checked, its pixels decoded into locals, and only then does the image
// take them, so a failure leaves the image as it was.

#include "image/BmpReader.h"

#include "image/BmpFormat.h"
#include "image/ImageError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chipshift {

namespace {

// No legal bitmap needs more than the pixel data of the largest image plus
// generous room for headers, colour table and trailing data such as a colour
// profile; a larger file is refused before anything is allocated for it.
constexpr std::uint64_t kMaxFileBytes =
    std::uint64_t{kMaxImageSide} * kMaxImageSide * 4 + (std::uint64_t{16} << 20);

// Closes the descriptor on every way out.
class OpenFile {
public:
    explicit OpenFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~OpenFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

std::string systemError(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    OpenFile file(path);
    if (file.fd() < 0) throw ImageError(systemError("cannot open", path));
    struct stat info {};
    if (::fstat(file.fd(), &info) != 0) throw ImageError(systemError("cannot read", path));
    if (!S_ISREG(info.st_mode)) throw ImageError("cannot read " + path + ": not a regular file");
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > kMaxFileBytes) bmp::fail(path, "the file is too large (" + std::to_string(size) + " bytes)");

    std::vector<std::uint8_t> bytes(size);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.fd(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw ImageError(systemError("cannot read", path));
        if (n == 0) break;  // the file shrank meanwhile: decode what is there
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace

void readBmp(Image& image, const std::string& path) {
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    readBmpBytes(image, bytes.data(), bytes.size(), path);
}

void readBmpBytes(Image& image, const std::uint8_t* data, std::size_t size, const std::string& path) {
    bmp::Layout layout = bmp::parseHeaders(data, size, path);
    std::vector<std::uint32_t> pixels = bmp::decodePixels(layout, data, size, path);
    image.assign(layout.width, layout.height, layout.format, std::move(layout.palette), std::move(pixels));
}

}  // namespace chipshift
