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

    // Read every needed source row before writing, so that a copy within one
    // image sees its source as it was.
    std::vector<std::uint32_t> line(static_cast<std::size_t>(w));
    std::vector<std::uint32_t> block;
    const bool sameImage = &src == &dst;
    if (sameImage) block.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(y1 - y0));

    for (int y = y0; y < y1; ++y) {
        const int sy = s.top + ((y - d.top) >> shift);
        const bool rowInside = sy >= 0 && sy < src.height();
        const std::uint32_t* srow = rowInside ? src.row(sy) : nullptr;
        std::uint32_t* out = sameImage ? block.data() + static_cast<std::size_t>(y - y0) * w : line.data();
        for (int x = x0; x < x1; ++x) {
            const int sx = s.left + ((x - d.left) >> shift);
            out[x - x0] = (rowInside && sx >= 0 && sx < src.width()) ? convert(srow[sx]) : outside;
        }
        if (!sameImage) std::copy_n(out, w, dst.row(y) + x0);
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
