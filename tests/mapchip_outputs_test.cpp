// All eighteen map-chip outputs, pixel for pixel, for templates of several
// sizes and formats. The expected pictures come from a model written from
// the layout rules (chip roles, quarter positions, block numbering), not
// from the converter's own copy tables: each output pixel is either a
// chipset pixel, a template pixel or a resize fill.

#include "image/PngReader.h"
#include "image/Template.h"
#include "mapchip/MapChipConverter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <ostream>
#include <string>

namespace chipshift {
namespace {

using test::distinctRgb;
using test::makeImage;

// What one output pixel must show.
struct Want {
    enum Kind { Chip, Templ, BareFill, WhiteFill } kind;
    int x = 0, y = 0;  // chipset or template position
};
Want chip(int x, int y) { return {Want::Chip, x, y}; }

// Top-left corner of terrain block n (1 to 12): blocks 1 to 4 fill the lower
// half of the first band two by two, blocks 5 to 12 the second band.
struct Point {
    int x, y;
};
Point terrainBlock(int n) {
    if (n <= 4) return {48 * ((n - 1) % 2), 128 + 64 * ((n - 1) / 2)};
    const int m = n - 5;
    return {96 + 48 * (m % 2), 64 * (m / 2)};
}

// Template pixel where the template reaches, else the given fill.
Want templateOr(Want::Kind fill, int x, int y, const Image& templ) {
    if (x < templ.width() && y < templ.height()) return {Want::Templ, x, y};
    return {fill};
}

// The tileset sheet: tile columns 0 to 5 hold the ordinary chips band by
// band, columns 6 and 7 of rows 0 to 5 the top-left chips of the terrain
// blocks; the rest keeps the template made 1536 high without a surface.
Want sheetPixel(int px, int py, const Image& templ) {
    const int c = px / 32, r = py / 32, ox = (px % 32) / 2, oy = (py % 32) / 2;
    if (c < 6) {
        int chipCol, chipRow;
        if (r < 16) chipCol = 12 + c, chipRow = r;
        else if (r < 24) chipCol = 18 + c, chipRow = r - 16;
        else if (r < 32) chipCol = 18 + c, chipRow = 8 + r - 24;
        else chipCol = 24 + c, chipRow = r - 32;
        return chip(16 * chipCol + ox, 16 * chipRow + oy);
    }
    if (c < 8 && r < 6) {
        const Point b = terrainBlock(2 * r + (c - 6) + 1);
        return chip(b.x + ox, b.y + oy);
    }
    return templateOr(Want::BareFill, px, py, templ);
}

// Water strip s (0, 1 shallow, 2 deep): frame k from column k of its block.
// A piece keeps its position within its chip; the chip is chosen by the
// cell and by whether the quarter lies on the border block's outer side.
Want waterPixel(int s, int px, int py, const Image& templ) {
    const int k = px / 96, fx = px % 96;
    const int cx = fx / 32, cy = py / 32, ox = fx % 32, oy = py % 32;
    if (cx == 1 && cy == 0) return templateOr(Want::WhiteFill, fx, py, templ);  // top-middle cell

    const bool deep = s == 2;
    const int colX = deep ? 16 * k : 48 * s + 16 * k;
    Point from;
    if (cy == 0) {
        const bool whole = cx == 0;
        from = deep ? Point{colX, whole ? 96 : 112} : Point{colX, whole ? 0 : 48};
    } else {
        const int bx = cx, by = cy - 1, qx = ox / 16, qy = oy / 16;
        const bool outerH = (bx == 0 && qx == 0) || (bx == 2 && qx == 1);
        const bool outerV = (by == 0 && qy == 0) || (by == 2 && qy == 1);
        if (deep) from = {colX, outerH && outerV ? 96 : 112};
        else if (outerH && outerV) from = {colX, 0};   // chip 0: outer corners
        else if (outerH) from = {colX, 16};            // chip 1: west / east shore
        else if (outerV) from = {colX, 32};            // chip 2: north / south shore
        else from = {16 * k, 64};                      // sea chip k
    }
    return chip(from.x + ox / 2, from.y + oy / 2);
}

constexpr int kTerrainBlocks[11] = {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12};

struct ExpectedOutput {
    std::string suffix;
    int width, height;
    std::function<Want(int, int)> pixel;
};

std::vector<ExpectedOutput> expectedOutputs(const Image& templ) {
    std::vector<ExpectedOutput> out;
    out.push_back({".png", templ.width(), 1536, [&](int x, int y) { return sheetPixel(x, y, templ); }});
    for (int s = 0; s < 3; ++s)
        out.push_back({"_Auto0" + std::to_string(s) + ".png", 288, 128,
                       [&, s](int x, int y) { return waterPixel(s, x, y, templ); }});
    for (int t = 0; t < 11; ++t) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "_Auto%02d.png", t + 3);
        const Point b = terrainBlock(kTerrainBlocks[t]);
        out.push_back({suffix, 96, 128, [b](int x, int y) { return chip(b.x + x / 2, b.y + y / 2); }});
    }
    for (int s = 0; s < 3; ++s)
        out.push_back({"_Anime" + std::to_string(s) + ".png", 128, 32, [s](int x, int y) {
                           return chip(48 + 16 * s + (x % 32) / 2, 64 + 16 * (x / 32) + y / 2);
                       }});
    return out;
}

// The raw value a wanted pixel has in an output of the template's format.
class ValueModel {
public:
    ValueModel(const Image& chipset, const Image& templ) : templ_(templ) {
        const bool indexed = isIndexed(templ.format());
        const Palette& pal = templ.palette();
        inTemplateFormat_ = makeImage(chipset.width(), chipset.height(), templ.format(), pal, [&](int x, int y) {
            const Color c = chipset.colorAt(x, y);
            return indexed ? std::uint32_t{pal.nearest(c)} : directValueOf(PixelFormat::Rgb24, c);
        });
        bareFill_ = traitsOf(templ.format()).allBits;
        whiteFill_ = indexed ? pal.nearest(kWhite) : directValueOf(PixelFormat::Rgb24, kWhite);
    }

    std::uint32_t operator()(Want w) const {
        switch (w.kind) {
            case Want::Chip: return inTemplateFormat_.pixel(w.x, w.y);
            case Want::Templ: return templ_.pixel(w.x, w.y);
            case Want::BareFill: return bareFill_;
            case Want::WhiteFill: return whiteFill_;
        }
        return 0;
    }

private:
    const Image& templ_;
    Image inTemplateFormat_;
    std::uint32_t bareFill_, whiteFill_;
};

struct TemplateCase {
    const char* name;
    int width, height;
    bool indexed;  // 8-bit with a palette whose entry 255 is not white
};

void PrintTo(const TemplateCase& t, std::ostream* os) { *os << t.name; }

Image makeTemplate(const TemplateCase& t) {
    if (t.indexed)
        return makeImage(t.width, t.height, PixelFormat::Indexed8, test::rampPalette(256, 3),
                         [](int x, int y) { return std::uint32_t((x * 7 + y * 13) % 256); });
    return makeImage(t.width, t.height, PixelFormat::Rgb24, {},
                     [](int x, int y) { return distinctRgb(x, y, 2); });
}

class MapChipOutputs : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(MapChipOutputs, EveryPixelFollowsTheLayout) {
    test::TempDir dir;
    const Image templ = makeTemplate(GetParam());
    test::writeBmp(templ, dir / "moto.bmp");
    const Image chipset = makeImage(480, 256, PixelFormat::Rgb24, {},
                                    [](int x, int y) { return distinctRgb(x, y, 1); });

    Image first, second;
    mapchip::ConvertSheet(chipset, first, second, dir.path(), "/maps/town.png", Template(dir / "moto.bmp"));

    const ValueModel value(chipset, templ);
    for (const ExpectedOutput& want : expectedOutputs(templ)) {
        SCOPED_TRACE(want.suffix);
        Image got;
        readPng(got, dir / ("town" + want.suffix));
        ASSERT_EQ(got.width(), want.width);
        ASSERT_EQ(got.height(), want.height);
        ASSERT_EQ(got.format(), templ.format());
        EXPECT_EQ(got.palette(), templ.palette());  // a PLTE of every entry for 8-bit

        int wrong = 0;
        for (int y = 0; y < got.height(); ++y)
            for (int x = 0; x < got.width(); ++x) {
                const Want w = want.pixel(x, y);
                if (got.pixel(x, y) != value(w) && ++wrong <= 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << got.pixel(x, y)
                                  << ", expected " << value(w) << " (kind " << w.kind << " at "
                                  << w.x << ", " << w.y << ")";
            }
        EXPECT_EQ(wrong, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Templates, MapChipOutputs,
    ::testing::Values(TemplateCase{"Width256Shorter", 256, 256, false},    // white rows below 256
                      TemplateCase{"Width192", 192, 300, false},           // loses the terrain tops
                      TemplateCase{"Width100", 100, 200, false},           // ordinary chips cut too
                      TemplateCase{"Width300", 300, 400, false},           // keeps columns from 256 on
                      TemplateCase{"Taller", 256, 1600, false},            // cut to 1536 rows
                      TemplateCase{"Tiny", 40, 20, false},                 // fill in the top-middle cells
                      TemplateCase{"Indexed8", 256, 256, true}),           // palette match, index 255 fill
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace chipshift
