// One water autotile frame: twelve 32 x 32 cells composed from the 2000
// chips quarter by quarter. Each piece lands in the position it has in its
// own chip (a NW quarter in a NW quarter, a left half in a left half).
//
// Column pieces are relative to the water column's corner (x, y): chip k of
// the column lies at y + 16k, the deep-sea chips at y + 96 and y + 112. Sea
// pieces are relative to (sx, 0): the sea chip row is always y 64 to 80.

#include "mapchip/CopyTable.h"
#include "mapchip/WaterFrames.h"

#include <array>

namespace chipshift::mapchip {
namespace {

constexpr Origin C = Origin::Column;
constexpr Origin S = Origin::SeaChip;

constexpr int kFrameWidth = 96;
constexpr int kFrameHeight = 128;

// The top-middle cell (32, 0)-(64, 32) is left as the template made it.
constexpr std::array<PieceRow, 27> kSeaPieces{{
    {C, {0, 0, 16, 16}, {0, 0, 32, 32}},       // chip 0 whole -> whole-tile cell
    {C, {0, 48, 16, 64}, {64, 0, 96, 32}},     // chip 3 whole -> top-right cell
    {C, {0, 0, 8, 8}, {0, 32, 16, 48}},        // chip 0 NW -> NW corner, NW
    {C, {0, 24, 8, 32}, {0, 48, 16, 64}},      // chip 1 SW -> NW corner, SW
    {C, {8, 32, 16, 40}, {16, 32, 32, 48}},    // chip 2 NE -> NW corner, NE
    {S, {8, 72, 16, 80}, {16, 48, 32, 64}},    // sea SE    -> NW corner, SE
    {C, {8, 0, 16, 8}, {80, 32, 96, 48}},      // chip 0 NE -> NE corner, NE
    {C, {0, 32, 8, 40}, {64, 32, 80, 48}},     // chip 2 NW -> NE corner, NW
    {C, {8, 24, 16, 32}, {80, 48, 96, 64}},    // chip 1 SE -> NE corner, SE
    {S, {0, 72, 8, 80}, {64, 48, 80, 64}},     // sea SW    -> NE corner, SW
    {C, {8, 8, 16, 16}, {80, 112, 96, 128}},   // chip 0 SE -> SE corner, SE
    {C, {0, 40, 8, 48}, {64, 112, 80, 128}},   // chip 2 SW -> SE corner, SW
    {C, {8, 16, 16, 24}, {80, 96, 96, 112}},   // chip 1 NE -> SE corner, NE
    {S, {0, 64, 8, 72}, {64, 96, 80, 112}},    // sea NW    -> SE corner, NW
    {C, {0, 8, 8, 16}, {0, 112, 16, 128}},     // chip 0 SW -> SW corner, SW
    {C, {0, 16, 8, 24}, {0, 96, 16, 112}},     // chip 1 NW -> SW corner, NW
    {C, {8, 40, 16, 48}, {16, 112, 32, 128}},  // chip 2 SE -> SW corner, SE
    {S, {8, 64, 16, 72}, {16, 96, 32, 112}},   // sea NE    -> SW corner, NE
    {C, {0, 32, 16, 40}, {32, 32, 64, 48}},    // chip 2 top half    -> N edge, top
    {S, {0, 72, 16, 80}, {32, 48, 64, 64}},    // sea bottom half    -> N edge, bottom
    {C, {0, 40, 16, 48}, {32, 112, 64, 128}},  // chip 2 bottom half -> S edge, bottom
    {S, {0, 64, 16, 72}, {32, 96, 64, 112}},   // sea top half       -> S edge, top
    {C, {0, 16, 8, 32}, {0, 64, 16, 96}},      // chip 1 left half   -> W edge, left
    {S, {8, 64, 16, 80}, {16, 64, 32, 96}},    // sea right half     -> W edge, right
    {C, {8, 16, 16, 32}, {80, 64, 96, 96}},    // chip 1 right half  -> E edge, right
    {S, {0, 64, 8, 80}, {64, 64, 80, 96}},     // sea left half      -> E edge, left
    {S, {0, 64, 16, 80}, {32, 64, 64, 96}},    // sea whole          -> centre cell
}};

// The lower deep chip everywhere but the whole-tile cell, then the upper deep
// chip's corner quarters over the four outer corners. The border block is
// filled column by column, each column top to bottom.
constexpr std::array<PieceRow, 15> kDeepPieces{{
    {C, {0, 96, 16, 112}, {0, 0, 32, 32}},       // upper whole -> whole-tile cell
    {C, {0, 112, 16, 128}, {64, 0, 96, 32}},     // lower whole -> top-right cell
    {C, {0, 112, 16, 128}, {0, 32, 32, 64}},     // lower whole -> NW corner
    {C, {0, 112, 16, 128}, {0, 64, 32, 96}},     // lower whole -> W edge
    {C, {0, 112, 16, 128}, {0, 96, 32, 128}},    // lower whole -> SW corner
    {C, {0, 112, 16, 128}, {32, 32, 64, 64}},    // lower whole -> N edge
    {C, {0, 112, 16, 128}, {32, 64, 64, 96}},    // lower whole -> centre
    {C, {0, 112, 16, 128}, {32, 96, 64, 128}},   // lower whole -> S edge
    {C, {0, 112, 16, 128}, {64, 32, 96, 64}},    // lower whole -> NE corner
    {C, {0, 112, 16, 128}, {64, 64, 96, 96}},    // lower whole -> E edge
    {C, {0, 112, 16, 128}, {64, 96, 96, 128}},   // lower whole -> SE corner
    {C, {0, 96, 8, 104}, {0, 32, 16, 48}},       // upper NW -> NW corner, NW
    {C, {8, 96, 16, 104}, {80, 32, 96, 48}},     // upper NE -> NE corner, NE
    {C, {8, 104, 16, 112}, {80, 112, 96, 128}},  // upper SE -> SE corner, SE
    {C, {0, 104, 8, 112}, {0, 112, 16, 128}},    // upper SW -> SW corner, SW
}};

// Every frame starts from a fresh template made 96 x 128.
void prepareFrame(Image& frame, const Template& templ) {
    templ.loadInto(frame);
    frame.setHeight(kFrameHeight);
    frame.setWidth(kFrameWidth);
}

}  // namespace

void CutTheSea(int x, int y, int sx, const Image& source, Image& frame, const Template& templ) {
    prepareFrame(frame, templ);
    copyPieces(source, kSeaPieces, x, y, sx, frame);
}

void CutTheDeep(int x, int y, const Image& source, Image& frame, const Template& templ) {
    prepareFrame(frame, templ);
    copyPieces(source, kDeepPieces, x, y, 0, frame);
}

}  // namespace chipshift::mapchip
