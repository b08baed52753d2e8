// The character-sheet converter: eight 192 x 256 sheets, pixel for pixel,
// for templates of several sizes and formats; names, order, failures and
// template reads; and each program refusing the other's sheet size.
//
// The model: output pixel (X, Y) of block (i, j) shows, doubled, source
// direction row {2, 3, 1, 0}[Y / 64] and source frame {1, 0, 1, 2}[X / 48]
// of the 72 x 128 block at (72i, 128j). So rows A, B, C, D come out C, D, B,
// A, frames P, Q, R come out Q, P, Q, R, the block's pixel (0, 0) lands at
// (48, 192)-(50, 194), and no template pixel is left.

#include "charchip/CharChipConverter.h"
#include "image/ImageError.h"
#include "image/PngReader.h"
#include "image/Template.h"
#include "mapchip/MapChipConverter.h"
#include "shell/Messages.h"
#include "shell/SingleFileRun.h"
#include "tests/support/FileOpenCounter.h"
#include "tests/support/RecordingInterface.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>


#include <filesystem>
#include <ostream>
#include <set>
#include <string>

namespace chipshift {
namespace {

namespace fs = std::filesystem;
using test::distinctRgb;
using test::makeImage;

const std::vector<std::string> kSuffixes{"_00.png", "_01.png", "_10.png", "_11.png",
                                         "_20.png", "_21.png", "_30.png", "_31.png"};

Image characterSheet() {
    return makeImage(288, 256, PixelFormat::Rgb24, {}, [](int x, int y) { return distinctRgb(x, y, 1); });
}

std::set<std::string> entriesOf(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

struct TemplateCase {
    const char* name;
    int width, height;
    bool indexed;
};
void PrintTo(const TemplateCase& t, std::ostream* os) { *os << t.name; }

Image makeTemplate(const TemplateCase& t) {
    if (t.indexed)
        return makeImage(t.width, t.height, PixelFormat::Indexed8, test::rampPalette(256, 5),
                         [](int x, int y) { return std::uint32_t((x + 3 * y) % 256); });
    return makeImage(t.width, t.height, PixelFormat::Rgb24, {},
                     [](int x, int y) { return distinctRgb(x, y, 2); });
}

class CharChipSheets : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(CharChipSheets, EveryPixelFollowsTheLayout) {
    test::TempDir dir;
    const Image templ = makeTemplate(GetParam());
    test::writeBmp(templ, dir / "moto.bmp");
    const Image source = characterSheet();

    Image first, second;
    charchip::ConvertSheet(source, first, second, dir.path(), "/chars/hero.bmp", Template(dir / "moto.bmp"));

    // Every source colour as the template's format holds it.
    const bool indexed = isIndexed(templ.format());
    const Image want = makeImage(288, 256, templ.format(), templ.palette(), [&](int x, int y) {
        const Color c = source.colorAt(x, y);
        return indexed ? std::uint32_t{templ.palette().nearest(c)} : directValueOf(PixelFormat::Rgb24, c);
    });
    constexpr int kRowOf[4] = {2, 3, 1, 0};
    constexpr int kFrameOf[4] = {1, 0, 1, 2};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 2; ++j) {
            const std::string name = "hero_" + std::to_string(i) + std::to_string(j) + ".png";
            SCOPED_TRACE(name);
            Image got;
            readPng(got, dir / name);
            ASSERT_EQ(got.width(), 192);
            ASSERT_EQ(got.height(), 256);
            ASSERT_EQ(got.format(), templ.format());
            EXPECT_EQ(got.palette(), templ.palette());

            int wrong = 0;
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 192; ++x) {
                    const int sx = 72 * i + 24 * kFrameOf[x / 48] + (x % 48) / 2;
                    const int sy = 128 * j + 32 * kRowOf[y / 64] + (y % 64) / 2;
                    if (got.pixel(x, y) != want.pixel(sx, sy) && ++wrong <= 5)
                        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << got.pixel(x, y)
                                      << ", expected source (" << sx << ", " << sy << ")";
                }
            EXPECT_EQ(wrong, 0);
        }
}

INSTANTIATE_TEST_SUITE_P(
    Templates, CharChipSheets,
    ::testing::Values(TemplateCase{"OutputSize", 192, 256, false},
                      TemplateCase{"Larger", 300, 320, false},
                      TemplateCase{"TooNarrow", 100, 300, false},  // scratch widened to 144
                      TemplateCase{"TooShort", 200, 100, false},   // scratch heightened to 256
                      TemplateCase{"Indexed8", 192, 256, true}),   // indexed, template palette
    [](const auto& info) { return std::string(info.param.name); });

class CharChipSequence : public ::testing::Test {
protected:
    CharChipSequence() {
        test::writeBmp(makeTemplate({"", 192, 256, false}), templateDir / "moto.bmp");
    }
    void convert(const std::string& target, const std::string& sourcePath) {
        Image first, second;
        charchip::ConvertSheet(source, first, second, target, sourcePath, Template(templateDir / "moto.bmp"));
    }

    test::TempDir templateDir, target;
    const Image source = characterSheet();
};

TEST_F(CharChipSequence, NamesKeepAllButTheLastExtension) {
    EXPECT_EQ(charchip::outputSuffixes(), kSuffixes);
    const Image before = source;
    convert(target.path(), "/chars/a.b.png");
    std::set<std::string> expected;
    for (const std::string& suffix : kSuffixes) expected.insert("a.b" + suffix);
    EXPECT_EQ(entriesOf(target.path()), expected);
    EXPECT_EQ(source.pixels(), before.pixels());
}

// A folder where output k would go: the ones before it exist, none after.
TEST_F(CharChipSequence, StopsAtTheFirstOutputThatCannotBeWritten) {
    for (std::size_t k = 0; k < kSuffixes.size(); ++k) {
        SCOPED_TRACE(kSuffixes[k]);
        test::TempDir out;
        const std::string blocked = out / ("hero" + kSuffixes[k]);
        fs::create_directory(blocked);
        try {
            convert(out.path(), "hero.png");
            ADD_FAILURE() << "no error";
        } catch (const ImageError& e) {
            EXPECT_NE(std::string(e.what()).find(blocked), std::string::npos) << e.what();
        }
        std::set<std::string> expected{"hero" + kSuffixes[k]};
        for (std::size_t n = 0; n < k; ++n) expected.insert("hero" + kSuffixes[n]);
        EXPECT_EQ(entriesOf(out.path()), expected);
    }
}

TEST_F(CharChipSequence, MissingTemplateFailsBeforeAnyOutput) {
    const std::string missing = target / "nowhere/moto.bmp";
    Image first, second;
    try {
        charchip::ConvertSheet(source, first, second, target.path(), "hero.png", Template(missing));
        ADD_FAILURE() << "no error";
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    EXPECT_TRUE(entriesOf(target.path()).empty());
}

// Both work images are loaded afresh for every character: sixteen reads.
TEST_F(CharChipSequence, ReadsTheTemplateSixteenTimes) {
    EXPECT_EQ(test::countOpens(templateDir / "moto.bmp", [&] { convert(target.path(), "hero.png"); }), 16);
}

TEST(ProgramsRefuseEachOthersSheets, WrongSizeAndNothingWritten) {
    const Program mapforge{.name = "mapforge", .title = "", .sheetWidth = 480, .convertSheet = &mapchip::ConvertSheet,
                           .outputSuffixes = mapchip::outputSuffixes()};
    const Program actorforge{.name = "actorforge", .title = "", .sheetWidth = 288, .convertSheet = &charchip::ConvertSheet,
                             .outputSuffixes = charchip::outputSuffixes()};
    struct Case {
        const Program& program;
        int sheetWidth;  // the other program's sheet
    };
    for (const Case& c : {Case{mapforge, 288}, Case{actorforge, 480}}) {
        SCOPED_TRACE(c.program.name);
        test::TempDir dir, out;
        test::writeBmp(makeTemplate({"", 192, 256, false}), dir / "moto.bmp");
        test::writeBmp(makeImage(c.sheetWidth, 256, PixelFormat::Rgb24, {},
                                 [](int x, int y) { return distinctRgb(x, y, 1); }),
                       dir / "sheet.bmp");
        test::RecordingInterface ui;
        EXPECT_EQ(runSingleFile(c.program, Template(dir / "moto.bmp"), ui, dir / "sheet.bmp", out.path()),
                  RunOutcome::Refused);
        EXPECT_EQ(ui.log, std::vector<std::string>{std::string("message ") + msg::kWrongSize});
        EXPECT_TRUE(entriesOf(out.path()).empty());
    }
}

}  // namespace
}  // namespace chipshift
