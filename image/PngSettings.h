#pragma once
// How the PNG writer compresses: the rule that picks each row's filter and
// the deflate settings, kept in this one place so that they can be tuned
// without touching the writer itself. They change only the size of the files
// and the time taken to write them, never the pixels, bit depth, colour type
// or palette. bench/README.md has the measurements behind these values.

#include "image/PixelFormat.h"

namespace chipshift {

enum class RowFilterRule {
    // Every row unfiltered.
    None,
    // A row equal to the one above it is written with filter Up, which makes
    // it all zeros; every other row unfiltered. The outputs are enlarged by
    // pixel doubling, so every second row repeats the one above exactly, and
    // an unfiltered row keeps the exact repeats of tiles and flat runs that
    // deflate finds best.
    UpForRepeatedRows,
};

// zlib's matcher (deflateTune): the chain length bounds how many earlier
// positions are tried for each match, the nice length ends the search early.
struct DeflateTuning {
    int goodLength;
    int lazyLength;
    int niceLength;
    int chainLength;
};

enum class Deflater {
    // zlib at `level` with `tuning`.
    Zlib,
    // The project's own encoder (image/PixelArtDeflate.h), whose matcher
    // tries the distances where pixel-doubled rows repeat before a short
    // hash chain; level and tuning do not apply.
    PixelArt,
};

struct PngWriteSettings {
    RowFilterRule rows;
    Deflater deflater;
    int level;  // zlib level, 1 to 9; the tuning below replaces its matcher parameters
    DeflateTuning tuning;
};

// The settings for an image of the given pixel format. The own encoder is
// both faster and smaller than zlib at any tuning on pixel-doubled sheets,
// direct-colour and indexed alike. The zlib settings stay as the measured
// alternative: for direct colour a long nice length with a moderate chain,
// for indexed rows zlib's level-6 matcher.
constexpr PngWriteSettings pngWriteSettingsFor(PixelFormat format) {
    if (isIndexed(format)) return {RowFilterRule::UpForRepeatedRows, Deflater::PixelArt, 6, {8, 16, 128, 128}};
    return {RowFilterRule::UpForRepeatedRows, Deflater::PixelArt, 6, {4, 16, 258, 96}};
}

}  // namespace chipshift
