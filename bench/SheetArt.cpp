#include "bench/SheetArt.h"

#include "bench/BenchRandom.h"

#include <algorithm>
#include <array>
#include <vector>

namespace chipshift::bench {

namespace {

constexpr int kShades = 6;  // per ramp, dark to light

// Index 0 is the key colour the old tools left around objects, 1 the
// outline black, then ramps of kShades entries each.
struct SheetPalette {
    Palette palette;
    int ramps = 0;
    std::uint32_t shade(int ramp, int level) const {
        return static_cast<std::uint32_t>(2 + ramp * kShades + std::clamp(level, 0, kShades - 1));
    }
};

SheetPalette makePalette(Random& rng) {
    SheetPalette p;
    p.ramps = rng.between(7, 10);  // 2 + 10 * 6 = 62 colours at most
    std::vector<Color> c{{rng.chance(50) ? std::uint8_t{255} : std::uint8_t{0}, 0, 255}, {16, 16, 24}};
    for (int r = 0; r < p.ramps; ++r) {
        const int hr = rng.between(40, 255), hg = rng.between(40, 255), hb = rng.between(40, 255);
        for (int s = 0; s < kShades; ++s) {
            const int k = 40 + s * 36;  // 40 .. 220 of 255
            c.push_back({static_cast<std::uint8_t>(std::min(255, hr * k / 200)),
                         static_cast<std::uint8_t>(std::min(255, hg * k / 200)),
                         static_cast<std::uint8_t>(std::min(255, hb * k / 200))});
        }
    }
    p.palette = Palette(std::move(c));
    return p;
}

using Tile = std::array<std::uint8_t, 16 * 16>;

void fill(Tile& t, int x0, int y0, int x1, int y1, std::uint32_t v) {
    for (int y = std::max(0, y0); y < std::min(16, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(16, x1); ++x) t[y * 16 + x] = static_cast<std::uint8_t>(v);
}

// Ordered 2 x 2 dither between two shades over a band of rows.
void dither(Tile& t, int y0, int y1, std::uint32_t a, std::uint32_t b) {
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < 16; ++x) t[y * 16 + x] = static_cast<std::uint8_t>(((x + y) & 1) ? a : b);
}

// A shaded blob with a dark outline: lit from the upper left.
void blob(Tile& t, const SheetPalette& p, int ramp, int cx, int cy, int rx, int ry) {
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int dx = x - cx, dy = y - cy;
            const int d = dx * dx * ry * ry + dy * dy * rx * rx, r = rx * rx * ry * ry;
            if (d > r) continue;
            const bool edge = d > r - 2 * std::max(rx, ry) * rx * ry;
            const int light = 3 - (dx + dy) / std::max(1, (rx + ry) / 3);
            t[y * 16 + x] = static_cast<std::uint8_t>(edge ? 1 : p.shade(ramp, light));
        }
}

// Scattered texture: short strokes of a lighter and a darker shade, as
// grass, gravel or sand were drawn by hand.
void texture(Tile& t, Random& rng, const SheetPalette& p, int ramp, int base, int strokes) {
    for (int i = 0; i < strokes; ++i) {
        const int x = rng.below(16), y = rng.below(15);
        const std::uint32_t v = p.shade(ramp, base + (rng.chance(55) ? 1 : -1));
        t[y * 16 + x] = static_cast<std::uint8_t>(v);
        if (rng.chance(60)) t[(y + 1) * 16 + x] = static_cast<std::uint8_t>(v);
    }
}

Tile makeMotif(Random& rng, const SheetPalette& p) {
    Tile t{};
    const int ramp = rng.below(p.ramps);
    const int base = rng.between(2, 4);
    switch (rng.below(8)) {
        case 0: {  // textured ground
            fill(t, 0, 0, 16, 16, p.shade(ramp, base));
            texture(t, rng, p, ramp, base, rng.between(12, 40));
            break;
        }
        case 1: {  // grass or sand fading by dithering
            fill(t, 0, 0, 16, 16, p.shade(ramp, base));
            const int y0 = rng.between(4, 10);
            dither(t, y0, y0 + rng.between(2, 4), p.shade(ramp, base), p.shade(ramp, base - 1));
            fill(t, 0, y0 + 4, 16, 16, p.shade(ramp, base - 1));
            texture(t, rng, p, ramp, base - 1, rng.between(4, 16));
            break;
        }
        case 2: {  // bricks with mortar lines, lit top edges and worn spots
            fill(t, 0, 0, 16, 16, p.shade(ramp, 1));
            for (int row = 0; row < 4; ++row) {
                const int off = (row & 1) * 4;
                for (int bx = -8; bx < 16; bx += 8) {
                    const int shade = base + (rng.chance(30) ? -1 : 0);
                    fill(t, bx + off + 1, row * 4 + 1, bx + off + 8, row * 4 + 4, p.shade(ramp, shade));
                    fill(t, bx + off + 1, row * 4 + 1, bx + off + 8, row * 4 + 2, p.shade(ramp, shade + 1));
                }
            }
            for (int i = rng.between(0, 6); i > 0; --i) t[rng.below(256)] = static_cast<std::uint8_t>(p.shade(ramp, 0));
            break;
        }
        case 3: {  // an object (pot, bush, rock) on the key colour or on ground
            const bool onGround = rng.chance(60);
            const int ground = rng.below(p.ramps);
            fill(t, 0, 0, 16, 16, onGround ? p.shade(ground, 3) : 0);
            if (onGround) texture(t, rng, p, ground, 3, rng.between(6, 20));
            blob(t, p, ramp, 8, rng.between(7, 9), rng.between(5, 7), rng.between(5, 7));
            break;
        }
        case 4: {  // water: light wave arcs on a dithered base
            fill(t, 0, 0, 16, 16, p.shade(ramp, 2));
            dither(t, 12, 16, p.shade(ramp, 2), p.shade(ramp, 1));
            for (int w = 0; w < 3; ++w) {
                const int wy = 2 + w * 5, wx = rng.below(10);
                fill(t, wx, wy, wx + 5, wy + 1, p.shade(ramp, 4));
                fill(t, wx + 1, wy - 1, wx + 4, wy, p.shade(ramp, 5));
            }
            break;
        }
        case 5: {  // a field of stones
            fill(t, 0, 0, 16, 16, p.shade(ramp, base));
            texture(t, rng, p, ramp, base, rng.between(4, 12));
            const int stone = rng.below(p.ramps);
            for (int i = rng.between(2, 4); i > 0; --i)
                blob(t, p, stone, rng.between(3, 12), rng.between(3, 12), rng.between(2, 3), rng.between(2, 3));
            break;
        }
        case 6: {  // foliage: lit leaf clusters over a dark base
            fill(t, 0, 0, 16, 16, p.shade(ramp, 1));
            for (int i = rng.between(6, 12); i > 0; --i)
                blob(t, p, ramp, rng.between(1, 14), rng.between(1, 14), 2, 2);
            break;
        }
        default: {  // an edge between two grounds with an outline
            const int other = rng.below(p.ramps);
            const int split = rng.between(5, 11);
            const bool vertical = rng.chance(50);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const int k = vertical ? x : y;
                    t[y * 16 + x] = static_cast<std::uint8_t>(k < split ? p.shade(ramp, base)
                                                             : k == split ? 1u
                                                                          : p.shade(other, 3));
                }
            texture(t, rng, p, ramp, base, rng.between(0, 10));
            break;
        }
    }
    return t;
}

void putTile(Image& img, const Tile& t, int cx, int cy, bool mirror) {
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            img.setPixel(cx * 16 + x, cy * 16 + y, t[y * 16 + (mirror ? 15 - x : x)]);
}

Image blank(int w, int h, const SheetPalette& p) {
    Image img;
    img.assign(w, h, PixelFormat::Indexed8, p.palette,
               std::vector<std::uint32_t>(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0));
    return img;
}

// Every non-key pixel next to the key colour becomes outline black.
void outline(Image& img, int x0, int y0, int w, int h) {
    std::vector<std::uint8_t> edge(static_cast<std::size_t>(w * h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (img.pixel(x0 + x, y0 + y) == 0) continue;
            const auto keyAt = [&](int dx, int dy) {
                const int nx = x + dx, ny = y + dy;
                return nx < 0 || ny < 0 || nx >= w || ny >= h || img.pixel(x0 + nx, y0 + ny) == 0;
            };
            edge[static_cast<std::size_t>(y * w + x)] = keyAt(-1, 0) || keyAt(1, 0) || keyAt(0, -1) || keyAt(0, 1);
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (edge[static_cast<std::size_t>(y * w + x)]) img.setPixel(x0 + x, y0 + y, 1);
}

void rect(Image& img, int x0, int y0, int x1, int y1, std::uint32_t v) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) img.setPixel(x, y, v);
}

// One 24 x 32 frame of a walking character seen from direction dir
// (0 down, 1 left, 2 right, 3 up), step -1, 0 or 1.
struct Look {
    int skin, hair, coat, legs;
    int hairLength;
    bool hat;
};

void drawFrame(Image& img, const SheetPalette& p, const Look& k, int fx, int fy, int dir, int step) {
    const int cx = fx + 12;
    // Legs, one forward at each step.
    const int lift = step == 0 ? 0 : 2;
    rect(img, cx - 4, fy + 24, cx - 1, fy + 30 - (step < 0 ? lift : 0), p.shade(k.legs, 2));
    rect(img, cx + 1, fy + 24, cx + 4, fy + 30 - (step > 0 ? lift : 0), p.shade(k.legs, 2));
    // Body with a lit side and a belt.
    rect(img, cx - 6, fy + 15, cx + 6, fy + 25, p.shade(k.coat, 3));
    rect(img, cx - 6, fy + 15, cx - 3, fy + 25, p.shade(k.coat, 4));
    rect(img, cx - 6, fy + 21, cx + 6, fy + 22, p.shade(k.legs, 1));
    // Arms swing against the legs.
    rect(img, cx - 8, fy + 16 + (step > 0), cx - 6, fy + 23 + (step > 0), p.shade(k.coat, 2));
    rect(img, cx + 6, fy + 16 + (step < 0), cx + 8, fy + 23 + (step < 0), p.shade(k.coat, 2));
    // Head, hair, face.
    rect(img, cx - 6, fy + 4, cx + 6, fy + 15, p.shade(k.skin, 4));
    rect(img, cx - 6, fy + 3, cx + 6, fy + 3 + k.hairLength, p.shade(k.hair, 2));
    rect(img, cx - 5, fy + 3, cx - 1, fy + 4, p.shade(k.hair, 4));
    if (k.hat) rect(img, cx - 7, fy + 2, cx + 7, fy + 4, p.shade(k.coat, 1));
    if (dir == 3) {
        rect(img, cx - 6, fy + 4, cx + 6, fy + 14, p.shade(k.hair, 2));
    } else {
        const int ex = dir == 1 ? -3 : dir == 2 ? 3 : 0;
        if (dir != 2) rect(img, cx - 3 + ex, fy + 9, cx - 2 + ex, fy + 11, 1);
        if (dir != 1) rect(img, cx + 2 + ex, fy + 9, cx + 3 + ex, fy + 11, 1);
        // Dithered cheek shading.
        for (int y = fy + 11; y < fy + 14; ++y)
            for (int x = cx - 5; x < cx + 5; ++x)
                if (((x + y) & 1) && (x < cx - 3 || x > cx + 2)) img.setPixel(x, y, p.shade(k.skin, 3));
    }
}

}  // namespace

Image makeChipset(std::uint64_t seed) {
    Random rng(seed * 2 + 1);
    const SheetPalette p = makePalette(rng);
    Image img = blank(480, 256, p);

    std::vector<Tile> motifs;
    for (int i = rng.between(60, 90); i > 0; --i) motifs.push_back(makeMotif(rng, p));

    // Chips come in runs: blocks of one motif (a field of grass, a wall),
    // mirrored variants, and empty key-colour chips towards the bottom.
    for (int cy = 0; cy < 16; ++cy) {
        for (int cx = 0; cx < 30;) {
            const int run = rng.chance(60) ? 1 : rng.between(2, 4);
            const Tile& t = motifs[static_cast<std::size_t>(rng.below(static_cast<int>(motifs.size())))];
            const bool empty = cy > 11 && rng.chance(40);
            const bool mirror = rng.chance(20);
            for (int i = 0; i < run && cx < 30; ++i, ++cx) {
                if (!empty) putTile(img, t, cx, cy, mirror && (i & 1));
            }
        }
    }
    return img;
}

Image makeCharacterSheet(std::uint64_t seed) {
    Random rng(seed * 2 + 2);
    const SheetPalette p = makePalette(rng);
    Image img = blank(288, 256, p);
    for (int c = 0; c < 8; ++c) {
        const Look k{rng.below(p.ramps), rng.below(p.ramps), rng.below(p.ramps), rng.below(p.ramps),
                     rng.between(2, 5), rng.chance(30)};
        const int ox = (c % 4) * 72, oy = (c / 4) * 128;
        for (int dir = 0; dir < 4; ++dir)
            for (int f = 0; f < 3; ++f) drawFrame(img, p, k, ox + f * 24, oy + dir * 32, dir, f - 1);
        outline(img, ox, oy, 72, 128);
    }
    return img;
}

Image makeIndexedTemplate() {
    std::vector<Color> c;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                c.push_back({static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                             static_cast<std::uint8_t>(b * 51)});
    for (int i = 0; i < 40; ++i) c.push_back({static_cast<std::uint8_t>(3 + i * 6), static_cast<std::uint8_t>(3 + i * 6),
                                              static_cast<std::uint8_t>(3 + i * 6)});
    const auto white = static_cast<std::uint32_t>(215);  // (255, 255, 255) in the cube
    Image img;
    img.assign(256, 256, PixelFormat::Indexed8, Palette(std::move(c)),
               std::vector<std::uint32_t>(256 * 256, white));
    return img;
}

}  // namespace chipshift::bench
