// The last fourteen outputs: the eleven terrain autotiles (each a whole
// terrain block doubled) and the three animation strips (the four frames of
// one animated chip side by side). Every file's copies cover the whole work
// image, so nothing of its earlier content shows.

#include "mapchip/CopyTable.h"
#include "mapchip/Steps.h"

#include <array>

namespace chipshift::mapchip {
namespace {

struct TerrainAutotile {
    const char* suffix;
    CopyRow copy;
};

struct AnimationStrip {
    const char* suffix;
    std::array<CopyRow, 4> copies;
};

constexpr Rect kWholeAutotile{0, 0, 96, 128};

// Terrain block 6 (144, 0)-(192, 64) gets no file; the numbering runs on
// without a gap.
constexpr std::array<TerrainAutotile, 11> kTerrainAutotiles{{
    {"_Auto03.png", {{0, 128, 48, 192}, kWholeAutotile}},     // block 1
    {"_Auto04.png", {{48, 128, 96, 192}, kWholeAutotile}},    // block 2
    {"_Auto05.png", {{0, 192, 48, 256}, kWholeAutotile}},     // block 3
    {"_Auto06.png", {{48, 192, 96, 256}, kWholeAutotile}},    // block 4
    {"_Auto07.png", {{96, 0, 144, 64}, kWholeAutotile}},      // block 5
    {"_Auto08.png", {{96, 64, 144, 128}, kWholeAutotile}},    // block 7
    {"_Auto09.png", {{144, 64, 192, 128}, kWholeAutotile}},   // block 8
    {"_Auto10.png", {{96, 128, 144, 192}, kWholeAutotile}},   // block 9
    {"_Auto11.png", {{144, 128, 192, 192}, kWholeAutotile}},  // block 10
    {"_Auto12.png", {{96, 192, 144, 256}, kWholeAutotile}},   // block 11
    {"_Auto13.png", {{144, 192, 192, 256}, kWholeAutotile}},  // block 12
}};

// Frame k of an animated chip lies at y 64 + 16k and goes to x 32k of its strip.
constexpr std::array<AnimationStrip, 3> kAnimationStrips{{
    {"_Anime0.png", {{{{48, 64, 64, 80}, {0, 0, 32, 32}},         // chip column 3, frame 0
                      {{48, 80, 64, 96}, {32, 0, 64, 32}},        //                frame 1
                      {{48, 96, 64, 112}, {64, 0, 96, 32}},       //                frame 2
                      {{48, 112, 64, 128}, {96, 0, 128, 32}}}}},  //                frame 3
    {"_Anime1.png", {{{{64, 64, 80, 80}, {0, 0, 32, 32}},         // chip column 4, frame 0
                      {{64, 80, 80, 96}, {32, 0, 64, 32}},        //                frame 1
                      {{64, 96, 80, 112}, {64, 0, 96, 32}},       //                frame 2
                      {{64, 112, 80, 128}, {96, 0, 128, 32}}}}},  //                frame 3
    {"_Anime2.png", {{{{80, 64, 96, 80}, {0, 0, 32, 32}},         // chip column 5, frame 0
                      {{80, 80, 96, 96}, {32, 0, 64, 32}},        //                frame 1
                      {{80, 96, 96, 112}, {64, 0, 96, 32}},       //                frame 2
                      {{80, 112, 96, 128}, {96, 0, 128, 32}}}}},  //                frame 3
}};

}  // namespace

void writeTerrainAutotiles(const Image& source, Image& work, const OutputPlace& out) {
    for (const TerrainAutotile& autotile : kTerrainAutotiles) {
        copyRows(source, {&autotile.copy, 1}, work);
        out.write(work, autotile.suffix);
    }
}

void writeAnimationStrips(const Image& source, Image& work, const OutputPlace& out) {
    for (const AnimationStrip& strip : kAnimationStrips) {
        work.setHeight(32);
        work.setWidth(128);
        copyRows(source, strip.copies, work);
        out.write(work, strip.suffix);
    }
}

}  // namespace chipshift::mapchip
