#pragma once
// Pixel art in the manner of the old 16-pixel-grid tools: an 8-bit palette
// of a few shaded colour ramps, flat areas, dark outlines, a little ordered
// dithering, and tiles that repeat a handful of motifs. Not noise: the point
// is to compress like real sheets do.

#include "image/Image.h"

#include <cstdint>

namespace chipshift::bench {

// A 480 x 256 map chipset (30 x 16 chips of 16 x 16).
Image makeChipset(std::uint64_t seed);

// A 288 x 256 character sheet: 4 x 2 characters, each 3 frames by 4
// directions of 24 x 32.
Image makeCharacterSheet(std::uint64_t seed);

// An 8-bit 256 x 256 white template with a 256-colour palette (a 6 x 6 x 6
// colour cube and a grey ramp), as an old project's template would carry.
Image makeIndexedTemplate();

}  // namespace chipshift::bench
