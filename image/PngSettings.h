#pragma once
// How the PNG writer compresses: row filters and zlib settings, kept in this
// one place so that they can be tuned without touching the writer itself.
// They change only the size of the files and the time taken to write them,
// never the pixels, bit depth, colour type or palette.

#include "image/PixelFormat.h"

namespace chipshift {

// Marks a setting that is left to libpng's own default.
inline constexpr int kPngLibraryDefault = -1000;

struct PngWriteSettings {
    // Row filters as a mask of libpng's PNG_FILTER_* bits. libpng's default
    // is no filtering for palette images and adaptive filtering otherwise.
    int filters = kPngLibraryDefault;
    // zlib level 0 to 9 (libpng's default is zlib's default level, 6).
    int compressionLevel = kPngLibraryDefault;
    // zlib strategy (Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE, ...). libpng's
    // default is Z_FILTERED for filtered rows and Z_DEFAULT_STRATEGY otherwise.
    int strategy = kPngLibraryDefault;
};

// The settings for an image of the given pixel format. Indexed sheets and
// direct-colour sheets compress differently, so they may be tuned apart.
constexpr PngWriteSettings pngWriteSettingsFor(PixelFormat /*format*/) {
    return PngWriteSettings{};
}

}  // namespace chipshift
