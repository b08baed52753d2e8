// The map-chip conversion as a sequence: output names and their order, where
// a failure stops it, how often the template is read, and that the source
// stays as it was.

#include "image/ImageError.h"
#include "image/Template.h"
#include "mapchip/MapChipConverter.h"
#include "tests/support/FileOpenCounter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>


#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

namespace chipshift {
namespace {

namespace fs = std::filesystem;

// The eighteen suffixes in the order the outputs must be written.
std::vector<std::string> writingOrder() {
    std::vector<std::string> order{".png"};
    for (int n = 0; n <= 13; ++n) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "_Auto%02d.png", n);
        order.push_back(suffix);
    }
    for (int n = 0; n <= 2; ++n) order.push_back("_Anime" + std::to_string(n) + ".png");
    return order;
}

std::set<std::string> entriesOf(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

class MapChipSequence : public ::testing::Test {
protected:
    MapChipSequence() {
        test::writeBmp(test::makeImage(256, 256, PixelFormat::Rgb24, {},
                                       [](int x, int y) { return test::distinctRgb(x, y, 2); }),
                       templateDir / "moto.bmp");
    }

    void convert(const std::string& target, const std::string& sourcePath = "/maps/town.png") {
        Image first, second;
        mapchip::ConvertSheet(chipset, first, second, target, sourcePath, Template(templateDir / "moto.bmp"));
    }

    test::TempDir templateDir, target;
    const Image chipset = test::makeImage(480, 256, PixelFormat::Rgb24, {},
                                          [](int x, int y) { return test::distinctRgb(x, y, 1); });
};

TEST_F(MapChipSequence, WritesTheEighteenOutputsAndNothingElse) {
    EXPECT_EQ(mapchip::outputSuffixes(), writingOrder());

    const Image before = chipset;
    convert(target.path() + "/");  // a folder text ending in "/" gets no second one

    std::set<std::string> expected;
    for (const std::string& suffix : writingOrder()) expected.insert("town" + suffix);
    EXPECT_EQ(entriesOf(target.path()), expected);
    EXPECT_EQ(chipset.pixels(), before.pixels());
    EXPECT_EQ(chipset.width(), 480);
    EXPECT_EQ(chipset.format(), PixelFormat::Rgb24);
}

// A folder standing where output k would go makes that write fail: the
// outputs before it are on disk, none after it, and the error names the path.
// Doing this for every k pins down the whole writing order.
TEST_F(MapChipSequence, StopsAtTheFirstOutputThatCannotBeWritten) {
    const std::vector<std::string> order = writingOrder();
    for (std::size_t k = 0; k < order.size(); ++k) {
        SCOPED_TRACE(order[k]);
        test::TempDir out;
        const std::string blocked = out / ("town" + order[k]);
        fs::create_directory(blocked);
        try {
            convert(out.path());
            ADD_FAILURE() << "no error";
        } catch (const ImageError& e) {
            EXPECT_NE(std::string(e.what()).find(blocked), std::string::npos) << e.what();
        }
        std::set<std::string> expected{"town" + order[k]};
        for (std::size_t n = 0; n < k; ++n) expected.insert("town" + order[n]);
        EXPECT_EQ(entriesOf(out.path()), expected);
    }
}

TEST_F(MapChipSequence, MissingTemplateFailsBeforeAnyOutput) {
    const std::string missing = target / "nowhere/moto.bmp";
    Image first, second;
    try {
        mapchip::ConvertSheet(chipset, first, second, target.path(), "town.png", Template(missing));
        ADD_FAILURE() << "no error";
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    EXPECT_TRUE(entriesOf(target.path()).empty());
}

// The template is read afresh for the tileset sheet, once for the strip
// image and once for each of the nine water frames, and never again.
TEST_F(MapChipSequence, ReadsTheTemplateElevenTimes) {
    EXPECT_EQ(test::countOpens(templateDir / "moto.bmp", [&] { convert(target.path()); }), 11);
}

}  // namespace
}  // namespace chipshift
