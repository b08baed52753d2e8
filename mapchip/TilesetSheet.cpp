// The tileset sheet: the 288 ordinary chips in tile columns 0 to 5 and the
// top-left chip of each of the twelve terrain blocks in tile columns 6 and 7.

#include "mapchip/CopyTable.h"
#include "mapchip/Steps.h"

#include <array>

namespace chipshift::mapchip {
namespace {

constexpr int kSheetHeight = 1536;  // 48 tile rows

constexpr std::array<CopyRow, 16> kSheetCopies{{
    // Ordinary chips: lower layer in tile rows 0-23, upper layer in rows 24-47.
    {{192, 0, 288, 256}, {0, 0, 192, 512}},      // chips 12-17, 0-15 -> tiles 0-5, 0-15
    {{288, 0, 384, 128}, {0, 512, 192, 768}},    // chips 18-23, 0-7  -> tiles 0-5, 16-23
    {{288, 128, 384, 256}, {0, 768, 192, 1024}}, // chips 18-23, 8-15 -> tiles 0-5, 24-31
    {{384, 0, 480, 256}, {0, 1024, 192, 1536}},  // chips 24-29, 0-15 -> tiles 0-5, 32-47
    // Top-left chip of terrain blocks 1 to 12: block 2n+1 at tile (6, n), 2n+2 at (7, n).
    {{0, 128, 16, 144}, {192, 0, 224, 32}},      // block 1,  chip 0, 8
    {{48, 128, 64, 144}, {224, 0, 256, 32}},     // block 2,  chip 3, 8
    {{0, 192, 16, 208}, {192, 32, 224, 64}},     // block 3,  chip 0, 12
    {{48, 192, 64, 208}, {224, 32, 256, 64}},    // block 4,  chip 3, 12
    {{96, 0, 112, 16}, {192, 64, 224, 96}},      // block 5,  chip 6, 0
    {{144, 0, 160, 16}, {224, 64, 256, 96}},     // block 6,  chip 9, 0
    {{96, 64, 112, 80}, {192, 96, 224, 128}},    // block 7,  chip 6, 4
    {{144, 64, 160, 80}, {224, 96, 256, 128}},   // block 8,  chip 9, 4
    {{96, 128, 112, 144}, {192, 128, 224, 160}}, // block 9,  chip 6, 8
    {{144, 128, 160, 144}, {224, 128, 256, 160}},// block 10, chip 9, 8
    {{96, 192, 112, 208}, {192, 160, 224, 192}}, // block 11, chip 6, 12
    {{144, 192, 160, 208}, {224, 160, 256, 192}},// block 12, chip 9, 12
}};

}  // namespace

void writeTilesetSheet(const Image& source, Image& sheet, const Template& templ,
                       const OutputPlace& out) {
    // The sheet is as wide as the template. It has taken part in no copy yet,
    // so rows below the template's own height get the fill of an image
    // without a drawing surface; what no copy reaches keeps that or the
    // template's pixels.
    templ.loadInto(sheet);
    sheet.setHeight(kSheetHeight);
    copyRows(source, kSheetCopies, sheet);
    out.write(sheet, ".png");
}

}  // namespace chipshift::mapchip
