#pragma once
// The converter's copies are tables of rows, performed by one small loop, so
// each table reads line by line against the layout it implements.

#include "image/Image.h"
#include "image/Rect.h"
#include "image/RegionCopy.h"

#include <span>

namespace chipshift::mapchip {

// One doubled copy: a chipset rectangle onto a rectangle twice its size.
struct CopyRow {
    Rect from;
    Rect to;
};

// Where a water piece is cut from: the water (or deep-sea) column at (x, y),
// or the sea chip row, which always lies at y 64 to 80 and starts at sx.
enum class Origin { Column, SeaChip };

// A copy whose source rectangle is given relative to its origin.
struct PieceRow {
    Origin origin;
    Rect from;
    Rect to;
};

inline Rect shifted(Rect r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

inline void copyRows(const Image& source, std::span<const CopyRow> rows, Image& dest) {
    for (const CopyRow& row : rows) copyRect(source, row.from, dest, row.to);
}

// The pieces of one frame: column pieces offset by (x, y), sea pieces by sx.
inline void copyPieces(const Image& source, std::span<const PieceRow> rows, int x, int y, int sx,
                       Image& dest) {
    for (const PieceRow& row : rows) {
        const Rect from = row.origin == Origin::Column ? shifted(row.from, x, y)
                                                       : shifted(row.from, sx, 0);
        copyRect(source, from, dest, row.to);
    }
}

}  // namespace chipshift::mapchip
