#pragma once
// Small helpers shared by the tests: temporary folders, a bitmap writer for
// fixtures and templates, and pixel-level comparisons.

#include "image/Image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace chipshift::test {

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes image as an uncompressed bottom-up Windows bitmap with a 40-byte
// header: indexed images with their palette as colour table, Rgb24 and Rgb32
// as themselves, 16-bit images as 5-5-5 or with 5-6-5 bit fields.
void writeBmp(const Image& image, const std::string& path);
std::vector<std::uint8_t> encodeBmp(const Image& image);

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readFile(const std::string& path);
bool fileExists(const std::string& path);

// An image of the given format filled by f(x, y) -> raw pixel value.
template <typename F>
Image makeImage(int w, int h, PixelFormat format, Palette palette, F f) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<std::size_t>(y) * w + x] = f(x, y);
    Image img;
    img.assign(w, h, format, std::move(palette), std::move(px));
    return img;
}

// A 24-bit colour unique to (x, y) within 4096 x 4096, tagged by `tag` so
// that pictures of different origin never share a colour.
inline std::uint32_t distinctRgb(int x, int y, int tag) {
    return (std::uint32_t(tag & 0xF) << 20) | (std::uint32_t(y & 0x3FF) << 10) | std::uint32_t(x & 0x3FF);
}

// A palette of n entries that are all different and none white.
Palette rampPalette(int n, int seed = 0);

}  // namespace chipshift::test
