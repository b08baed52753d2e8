#pragma once
// Pixel formats of the image workspace and what each one means for storage,
// palettes and the resize fill.

#include <cstdint>

namespace chipshift {

enum class PixelFormat {
    None,      // an empty image has no format yet
    Indexed1,
    Indexed4,
    Indexed8,
    Rgb555,    // 16-bit, the sixteenth bit is ignored
    Rgb565,    // 16-bit
    Rgb24,
    Rgb32,     // 24-bit colour plus a fourth byte that nothing reads
};

struct PixelFormatTraits {
    int bitsPerPixel;
    bool indexed;
    int maxPaletteEntries;   // 0 for the direct-colour formats
    std::uint32_t allBits;   // the value with every bit set: the fill of a resize without a surface
};

constexpr PixelFormatTraits traitsOf(PixelFormat f) {
    switch (f) {
        case PixelFormat::Indexed1: return {1, true, 2, 0x1u};
        case PixelFormat::Indexed4: return {4, true, 16, 0xFu};
        case PixelFormat::Indexed8: return {8, true, 256, 0xFFu};
        case PixelFormat::Rgb555: return {16, false, 0, 0xFFFFu};
        case PixelFormat::Rgb565: return {16, false, 0, 0xFFFFu};
        case PixelFormat::Rgb24: return {24, false, 0, 0xFFFFFFu};
        case PixelFormat::Rgb32: return {32, false, 0, 0xFFFFFFFFu};
        case PixelFormat::None: break;
    }
    return {0, false, 0, 0u};
}

constexpr bool isIndexed(PixelFormat f) { return traitsOf(f).indexed; }

}  // namespace chipshift
