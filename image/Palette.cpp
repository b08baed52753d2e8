#include "image/Palette.h"

namespace chipshift {

std::uint8_t Palette::nearest(Color c) const {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < size(); ++i) {
        const Color e = entries_[static_cast<std::size_t>(i)];
        const long dr = long(e.r) - c.r, dg = long(e.g) - c.g, db = long(e.b) - c.b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
            if (d == 0) break;
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace chipshift
