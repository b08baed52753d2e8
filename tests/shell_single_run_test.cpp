// The single-file run: its checks in their order, its messages, and the
// protection of the source file.
#include "image/ImageError.h"
#include "image/OutputName.h"
#include "image/PngWriter.h"
#include "mapchip/MapChipConverter.h"
#include "shell/Messages.h"
#include "shell/SingleFileRun.h"
#include "tests/support/RecordingInterface.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace chipshift {
namespace {

namespace fs = std::filesystem;
using test::RecordingInterface;
using test::TempDir;

std::vector<std::string> converted;

void recordingConvert(const Image&, Image&, Image&, const std::string& targetFolder, const std::string& sourcePath,
                      const Template&) {
    converted.push_back(sourcePath);
    test::writeFile(outputName(targetFolder, sourcePath, ".png"), {1});
}

Program fakeMapforge() {
    Program p;
    p.name = "fake";
    p.sheetWidth = 480;
    p.sheetHeight = 256;
    p.convertSheet = &recordingConvert;
    p.outputSuffixes = {".png"};
    return p;
}

Image sheet(int w, int h) {
    return test::makeImage(w, h, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 1); });
}

bool isEmptyFolder(const std::string& path) { return fs::is_empty(path); }

TEST(SingleFileRun, ChecksInTheirOrderWithOneMessageEach) {
    TempDir dir;
    const std::string out = dir / "out";
    fs::create_directory(out);
    test::writeBmp(sheet(480, 256), dir / "good.bmp");
    test::writeBmp(sheet(480, 256), dir / "upper.BMP");
    test::writeBmp(sheet(479, 256), dir / "narrow.bmp");
    test::writeBmp(sheet(480, 257), dir / "tall.bmp");
    struct Case {
        std::string source, target;
        const char* message;
    };
    const Case cases[] = {
        {"", "", msg::kNoFile},
        {out, out, msg::kNoFile},  // a folder is not a file
        {dir / "missing.bmp", "", msg::kNoFile},
        {dir / "good.bmp", dir / "missing", msg::kNoFolder},
        {dir / "good.bmp", "", msg::kNoFolder},
        {dir / "upper.BMP", out, msg::kWrongSize},
        {dir / "narrow.bmp", out, msg::kWrongSize},
        {dir / "tall.bmp", out, msg::kWrongSize},
    };
    for (const Case& c : cases) {
        RecordingInterface ui;
        ui.cancelRequest = 1;
        EXPECT_EQ(runSingleFile(fakeMapforge(), Template(dir / "moto.bmp"), ui, c.source, c.target),
                  RunOutcome::Refused)
            << c.source;
        EXPECT_EQ(ui.log, std::vector<std::string>{std::string("message ") + c.message}) << c.source;
        EXPECT_EQ(ui.cancelRequest, 0);
    }
    EXPECT_TRUE(converted.empty());
    EXPECT_TRUE(isEmptyFolder(out));

    RecordingInterface ui;
    EXPECT_EQ(runSingleFile(fakeMapforge(), Template(dir / "moto.bmp"), ui, dir / "good.bmp", out + "/"),
              RunOutcome::Completed);
    EXPECT_EQ(ui.log, std::vector<std::string>{std::string("message ") + msg::kDone});
    EXPECT_TRUE(test::fileExists(out + "/good.png"));
}

TEST(SingleFileRun, AMissingTemplateIsAnErrorWithNothingWritten) {
    TempDir dir;
    fs::create_directory(dir / "out");
    test::writeBmp(sheet(480, 256), dir / "town.bmp");
    Program mapforge = fakeMapforge();
    mapforge.convertSheet = &mapchip::ConvertSheet;
    mapforge.outputSuffixes = mapchip::outputSuffixes();
    RecordingInterface ui;
    try {
        runSingleFile(mapforge, Template(dir / "moto.bmp"), ui, dir / "town.bmp", dir / "out");
        ADD_FAILURE() << "no error";
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find(dir / "moto.bmp"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(isEmptyFolder(dir / "out"));
}

TEST(SingleFileRun, ASheetIsNeverConvertedIntoItsOwnFolderOverItself) {
    TempDir dir;
    writePng(sheet(480, 256), dir / "town.png");
    const auto before = test::readFile(dir / "town.png");
    RecordingInterface ui;
    // The same folder, spelled differently, is still the same file.
    EXPECT_EQ(runSingleFile(fakeMapforge(), Template(dir / "moto.bmp"), ui, dir / "town.png", dir / "./"),
              RunOutcome::Refused);
    EXPECT_EQ(ui.log, std::vector<std::string>{std::string("message ") + msg::kWouldReplaceSource + dir / "town.png"});
    EXPECT_EQ(test::readFile(dir / "town.png"), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace chipshift
