// The three water autotiles: each a 288 x 128 strip of three animation
// frames side by side, frame k drawn at (96k, 0).

#include "mapchip/Steps.h"
#include "mapchip/WaterFrames.h"

#include "image/RegionCopy.h"

#include <array>

namespace chipshift::mapchip {
namespace {

constexpr int kStripWidth = 288;
constexpr int kStripHeight = 128;
constexpr int kFrameWidth = 96;

struct FrameSource {
    int x, y, sx;  // water column corner and sea chip left edge (sx unused for deep sea)
};

struct WaterStrip {
    const char* suffix;
    bool deep;  // CutTheDeep instead of CutTheSea
    std::array<FrameSource, 3> frames;
};

// Frame k of each strip takes column k of its block; both shallow strips take
// their open water from sea chip k.
constexpr std::array<WaterStrip, 3> kWaterStrips{{
    {"_Auto00.png", false, {{{0, 0, 0}, {16, 0, 16}, {32, 0, 32}}}},   // first water block
    {"_Auto01.png", false, {{{48, 0, 0}, {64, 0, 16}, {80, 0, 32}}}},  // second water block
    {"_Auto02.png", true, {{{0, 0, 0}, {16, 0, 0}, {32, 0, 0}}}},      // deep-sea block
}};

}  // namespace

void writeWaterAutotiles(const Image& source, Image& frame, Image& strip, const Template& templ,
                         const OutputPlace& out) {
    for (const WaterStrip& s : kWaterStrips) {
        strip.setWidth(kStripWidth);
        strip.setHeight(kStripHeight);
        for (int k = 0; k < 3; ++k) {
            const FrameSource& f = s.frames[k];
            if (s.deep)
                CutTheDeep(f.x, f.y, source, frame, templ);
            else
                CutTheSea(f.x, f.y, f.sx, source, frame, templ);
            draw(frame, strip, kFrameWidth * k, 0);
        }
        out.write(strip, s.suffix);
    }
}

}  // namespace chipshift::mapchip
