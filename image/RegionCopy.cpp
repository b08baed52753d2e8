#include "image/RegionCopy.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace chipshift {
namespace {

// No converted value has every bit set: indices stay below 256, 16-bit
// values below 0x10000 and direct colours leave the fourth byte 0.
constexpr std::uint32_t kUnknown = 0xFFFFFFFFu;

// Index-to-index tables for the last pair of palettes met. A conversion into
// an indexed template makes hundreds of copies between the same two palettes
// (the sheet's and the template's); the nearest entries depend on nothing
// but those two palettes' colours, so they are kept while both stay the same.
struct PalettePairTable {
    std::vector<Color> from, to;
    std::array<std::uint32_t, 256> values{};
};

std::array<std::uint32_t, 256>& tableFor(const Palette& from, const Palette& to) {
    thread_local PalettePairTable last;
    if (last.from != from.entries() || last.to != to.entries()) {
        last.from = from.entries();
        last.to = to.entries();
        last.values.fill(kUnknown);
    }
    return last.values;
}

// Turns source pixel values into destination pixel values. An indexed
// source gets a table over its palette, filled on first use; a direct
// source into an indexed destination a cache of the colours met so far, so no
// pixel pays for a full palette search more than once per distinct colour.
class ValueConverter {
public:
    ValueConverter(const Image& src, const Image& dst) : src_(src), dst_(dst) {
        same_ = src.format() == dst.format() &&
                (!isIndexed(src.format()) || src.palette() == dst.palette());
        if (same_ || !isIndexed(src.format())) return;
        if (isIndexed(dst.format())) {
            table_ = &tableFor(src.palette(), dst.palette());
        } else {
            ownTable_.fill(kUnknown);
            table_ = &ownTable_;
        }
    }

    std::uint32_t operator()(std::uint32_t v) {
        if (same_) return v;
        if (isIndexed(src_.format())) {
            // A chip uses a handful of its palette's entries, so only those
            // ever pay for a palette search.
            std::uint32_t& known = (*table_)[v & 0xFF];
            if (known == kUnknown) known = fromColor(src_.palette().colorAt(v & 0xFF));
            return known;
        }
        if (!isIndexed(dst_.format())) return fromColor(colorOfDirect(src_.format(), v));
        const auto found = cache_.find(v);
        if (found != cache_.end()) return found->second;
        const std::uint32_t result = fromColor(colorOfDirect(src_.format(), v));
        cache_.emplace(v, result);
        return result;
    }

    // Converts the source pixels that destination columns 0 .. count-1 of a
    // row show: column i shows source pixel first + (i >> shift). The kind of
    // conversion is settled once per row, not per pixel.
    void convertRow(const std::uint32_t* srow, int first, int shift, std::uint32_t* out, int count) {
        if (same_) {
            if (shift == 0) {
                std::copy_n(srow + first, count, out);
            } else {
                for (int i = 0; i < count; ++i) out[i] = srow[first + (i >> 1)];
            }
            return;
        }
        if (isIndexed(src_.format())) {
            for (int i = 0; i < count; ++i) {
                const std::uint32_t v = srow[first + (i >> shift)] & 0xFF;
                std::uint32_t& known = (*table_)[v];
                if (known == kUnknown) known = fromColor(src_.palette().colorAt(v));
                out[i] = known;
            }
            return;
        }
        for (int i = 0; i < count; ++i) out[i] = (*this)(srow[first + (i >> shift)]);
    }

    std::uint32_t fromColor(Color c) const {
        if (isIndexed(dst_.format())) return dst_.palette().nearest(c);
        return directValueOf(dst_.format(), c);
    }

private:
    const Image& src_;
    const Image& dst_;
    bool same_ = false;
    std::array<std::uint32_t, 256>* table_ = nullptr;  // an indexed source's table
    std::array<std::uint32_t, 256> ownTable_{};
    std::unordered_map<std::uint32_t, std::uint32_t> cache_;
};

}  // namespace

void copyRect(const Image& src, Rect s, Image& dst, Rect d) {
    src.markSurface();
    dst.markSurface();

    int shift;  // 0 one to one, 1 doubled
    if (d.width() == s.width() && d.height() == s.height()) {
        shift = 0;
    } else if (d.width() == 2 * s.width() && d.height() == 2 * s.height()) {
        shift = 1;
    } else {
        throw std::invalid_argument("region copy supports only one-to-one and doubled copies");
    }

    // The part of d inside dst; the rest is not written.
    const int x0 = std::max(d.left, 0), x1 = std::min(d.right, dst.width());
    const int y0 = std::max(d.top, 0), y1 = std::min(d.bottom, dst.height());
    if (x0 >= x1 || y0 >= y1) return;

    ValueConverter convert(src, dst);
    const std::uint32_t outside = convert.fromColor(kWhite);
    const int w = x1 - x0;

    // Every needed source row is read before anything is written, so that a
    // copy within one image sees its source as it was. A doubled copy reads
    // each source row for two destination rows: the converted line is made
    // once and written twice.
    const bool sameImage = &src == &dst;
    std::vector<std::uint32_t> block(sameImage ? static_cast<std::size_t>(w) * static_cast<std::size_t>(y1 - y0) : 0);
    std::vector<std::uint32_t> line(static_cast<std::size_t>(w));

    // The destination columns whose source column lies inside src.
    const int scale = 1 << shift;
    const int xa = std::clamp(d.left + std::max(0, -s.left) * scale, x0, x1);
    const int xb = std::clamp(d.left + (src.width() - s.left) * scale, xa, x1);

    int lineRow = -1;  // the source row `line` holds, or -1
    for (int y = y0; y < y1; ++y) {
        const int sy = s.top + ((y - d.top) >> shift);
        if (sy != lineRow || y == y0) {
            if (sy < 0 || sy >= src.height()) {
                std::fill(line.begin(), line.end(), outside);
            } else {
                const std::uint32_t* srow = src.row(sy);
                std::fill(line.begin(), line.begin() + (xa - x0), outside);
                // A doubled copy cut at the left on an odd column starts with
                // the second half of a source pixel.
                int x = xa;
                if (x < xb && ((x - d.left) & shift)) {
                    line[x - x0] = convert(srow[s.left + ((x - d.left) >> shift)]);
                    ++x;
                }
                if (x < xb)
                    convert.convertRow(srow, s.left + ((x - d.left) >> shift), shift, line.data() + (x - x0), xb - x);
                std::fill(line.begin() + (xb - x0), line.end(), outside);
            }
            lineRow = sy;
        }
        std::uint32_t* out = sameImage ? block.data() + static_cast<std::size_t>(y - y0) * w : dst.row(y) + x0;
        std::copy_n(line.data(), w, out);
    }
    if (sameImage) {
        for (int y = y0; y < y1; ++y)
            std::copy_n(block.data() + static_cast<std::size_t>(y - y0) * w, w, dst.row(y) + x0);
    }
}

void draw(const Image& src, Image& dst, int x, int y) {
    copyRect(src, {0, 0, src.width(), src.height()}, dst, {x, y, x + src.width(), y + src.height()});
}

}  // namespace chipshift
