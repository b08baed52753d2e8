#pragma once
// A colour of 8 bits per channel, and the conversions between colours and
// the raw pixel values of each pixel format.

#include "image/PixelFormat.h"

#include <cstdint>

namespace chipshift {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    friend constexpr bool operator==(Color, Color) = default;
};

constexpr Color kWhite{255, 255, 255};

// Widens a 5- or 6-bit channel to 8 bits by repeating its top bits,
// so that full intensity stays full intensity (31 -> 255, 63 -> 255).
constexpr std::uint8_t widen5(std::uint32_t v) { return static_cast<std::uint8_t>(v * 8 + v / 4); }
constexpr std::uint8_t widen6(std::uint32_t v) { return static_cast<std::uint8_t>(v * 4 + v / 16); }

// The colour of a direct-colour pixel value. Indexed values need a palette.
constexpr Color colorOfDirect(PixelFormat f, std::uint32_t v) {
    switch (f) {
        case PixelFormat::Rgb555:
            return {widen5((v >> 10) & 31), widen5((v >> 5) & 31), widen5(v & 31)};
        case PixelFormat::Rgb565:
            return {widen5((v >> 11) & 31), widen6((v >> 5) & 63), widen5(v & 31)};
        case PixelFormat::Rgb24:
        case PixelFormat::Rgb32:
            return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                    static_cast<std::uint8_t>(v)};
        default:
            return {};
    }
}

// The pixel value of a colour in a direct-colour format. 16-bit formats keep
// the top bits of each channel; the fourth byte of a 32-bit pixel is left 0.
constexpr std::uint32_t directValueOf(PixelFormat f, Color c) {
    switch (f) {
        case PixelFormat::Rgb555:
            return (std::uint32_t(c.r >> 3) << 10) | (std::uint32_t(c.g >> 3) << 5) | (c.b >> 3);
        case PixelFormat::Rgb565:
            return (std::uint32_t(c.r >> 3) << 11) | (std::uint32_t(c.g >> 2) << 5) | (c.b >> 3);
        case PixelFormat::Rgb24:
        case PixelFormat::Rgb32:
            return (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b;
        default:
            return 0;
    }
}

}  // namespace chipshift
