#include "image/Image.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>

namespace chipshift {

Color Image::colorAt(int x, int y) const {
    const std::uint32_t v = pixel(x, y);
    return isIndexed(format_) ? palette_.colorAt(v) : colorOfDirect(format_, v);
}

void Image::assign(int width, int height, PixelFormat format, Palette palette,
                   std::vector<std::uint32_t> pixels) {
    assert(pixels.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    width_ = width;
    height_ = height;
    format_ = format;
    palette_ = std::move(palette);
    pixels_ = std::move(pixels);
}

void Image::setWidth(int width) {
    if (width != width_) resize(width, height_);
}

void Image::setHeight(int height) {
    if (height != height_) resize(width_, height);
}

std::uint32_t Image::resizeFill() const {
    if (!surface_) return traitsOf(format_).allBits;
    if (isIndexed(format_)) return palette_.nearest(kWhite);
    return directValueOf(format_, kWhite);
}

void Image::resize(int width, int height) {
    if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide)
        throw std::length_error("image size out of range");
    std::vector<std::uint32_t> next(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                    resizeFill());
    const int keepW = std::min(width, width_);
    const int keepH = std::min(height, height_);
    for (int y = 0; y < keepH; ++y)
        std::copy_n(row(y), keepW, next.begin() + static_cast<std::ptrdiff_t>(y) * width);
    width_ = width;
    height_ = height;
    pixels_ = std::move(next);
}

}  // namespace chipshift
