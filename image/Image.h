#pragma once
// The one raster type of the system: size, pixel format, palette, pixels and
// the drawing-surface flag.
//
// Pixels are stored one 32-bit value each, in the image's own format: an
// index for the indexed formats, the 16-bit value for 5-5-5 and 5-6-5, and
// 0xRRGGBB (plus the unread fourth byte in bits 24-31 for 32-bit). The sheets
// are small, so one word a pixel keeps every operation a plain array walk.

#include "image/Palette.h"
#include "image/PixelFormat.h"

#include <cstdint>
#include <vector>

namespace chipshift {

// The largest side a loaded image may have. Sheets are 480 x 256 and the
// template a few hundred pixels a side; anything beyond this is a damaged or
// hostile header, refused before any memory is allocated for it. At one word
// a pixel the largest image takes 64 MiB; a template taller than the
// 1536-row tileset sheet is cut anyway.
constexpr int kMaxImageSide = 4096;

class Image {
public:
    Image() = default;

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    PixelFormat format() const { return format_; }
    const Palette& palette() const { return palette_; }

    // The drawing surface comes into being at the first copy or draw the
    // image takes part in, as source or destination, and then stays. It is
    // not pixel content, so marking a source that is otherwise only read is
    // allowed on a const image.
    bool hasSurface() const { return surface_; }
    void markSurface() const { surface_ = true; }

    std::uint32_t pixel(int x, int y) const { return pixels_[index(x, y)]; }
    void setPixel(int x, int y, std::uint32_t v) { pixels_[index(x, y)] = v; }
    Color colorAt(int x, int y) const;

    const std::vector<std::uint32_t>& pixels() const { return pixels_; }
    std::uint32_t* row(int y) { return pixels_.data() + index(0, y); }
    const std::uint32_t* row(int y) const { return pixels_.data() + index(0, y); }

    // What a load does: replaces size, format, palette and pixels. The
    // drawing surface, if the image has one, remains.
    void assign(int width, int height, PixelFormat format, Palette palette,
                std::vector<std::uint32_t> pixels);

    // The resize rule: an unchanged value changes nothing; otherwise a new
    // array in the same format, filled (white with a surface, every bit set
    // without one), with the old pixels put back at the top left.
    void setWidth(int width);
    void setHeight(int height);

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    void resize(int width, int height);
    std::uint32_t resizeFill() const;

    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::None;
    Palette palette_;
    std::vector<std::uint32_t> pixels_;
    mutable bool surface_ = false;
};

}  // namespace chipshift
