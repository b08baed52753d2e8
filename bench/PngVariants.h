#pragma once
// PNG encoders to memory for the settings comparison: libpng with chosen
// filters, zlib level and strategy, and a small chunk writer of our own
// (signature, IHDR, PLTE, IDAT, IEND) whose row filters are chosen by a rule
// and whose IDAT comes from zlib or libdeflate. Every variant writes the
// same PNG layout as the project's writer: bit depth, colour type and PLTE.

#include "image/Image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace chipshift::bench {

// ChunkPixelArt: the project's own deflate encoder (image/PixelArtDeflate.h).
enum class Encoder { Libpng, ChunkZlib, ChunkLibdeflate, ChunkPixelArt };

// How the chunk writer picks each row's filter.
enum class RowRule {
    None,
    Sub,
    Up,
    Average,
    Paeth,
    Adaptive,        // smallest sum of absolute values among the five, as libpng does
    UpForRepeats,    // a row equal to the one above: Up (all zero); otherwise None
    UpForRepeatsSub, // a row equal to the one above: Up; otherwise Sub
    UpWhenAlike,     // Up when at least `alike` per mille of the row's bytes equal the row above; otherwise None
};

struct Variant {
    std::string name;
    Encoder encoder = Encoder::Libpng;
    // Libpng: PNG_FILTER_* mask or -1 for libpng's default; level -1 default;
    // strategy -1 default. Chunk writers: rule, level, strategy (zlib only).
    int filters = -1;
    RowRule rule = RowRule::None;
    int level = -1;
    int strategy = -1;
    // zlib chunk writer: deflateTune's good, lazy, nice and chain lengths
    // when chain > 0. Own encoder: its hash-chain depth when chain > 0.
    int good = 0, lazy = 0, nice = 0, chain = 0;
    int alike = 1000;
};

std::vector<std::uint8_t> encodePng(const Image& image, const Variant& variant);

}  // namespace chipshift::bench
