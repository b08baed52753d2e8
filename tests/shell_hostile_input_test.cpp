// Hostile names and folders given to a batch run of the real converters:
// every case ends cleanly, converts what it should, opens nothing it should
// not, and loses no file.
#include "charchip/CharChipConverter.h"
#include "image/PngWriter.h"
#include "mapchip/MapChipConverter.h"
#include "shell/BatchRun.h"
#include "shell/Messages.h"
#include "tests/support/RecordingInterface.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace chipshift {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

Program actorforge() {
    return {"actorforge", "test", charchip::kSheetWidth, 256, &charchip::ConvertSheet, charchip::outputSuffixes(),
            true};
}

Image sheet(int w) {
    return test::makeImage(w, 256, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 6); });
}

struct HostileCase {
    const char* what;
    // Fills the source folder; returns nothing.
    std::function<void(const std::string& src)> setUp;
    // The target folder: "" for a folder of its own, "=" for the source folder itself.
    const char* target;
    // Base names whose eight outputs must exist in the target afterwards.
    std::vector<std::string> converted;
    // Messages the run must have shown, in order.
    std::vector<std::string> messages;
};

std::vector<HostileCase> cases() {
    auto bmp = [](const std::string& path) { test::writeBmp(sheet(288), path); };
    return {
        {"spaces", [=](const std::string& s) { bmp(s + "/my hero.bmp"); }, "", {"my hero"}, {}},
        {"quotes", [=](const std::string& s) { bmp(s + "/it's \"q\".bmp"); }, "", {"it's \"q\""}, {}},
        {"newline", [=](const std::string& s) { bmp(s + "/a\nb.bmp"); }, "", {"a\nb"}, {}},
        {"leading dash", [=](const std::string& s) { bmp(s + "/-x.bmp"); }, "", {"-x"}, {}},
        {"not UTF-8 (Shift JIS)", [=](const std::string& s) { bmp(s + "/\x83\x5c\x95\x5c.bmp"); }, "",
         {"\x83\x5c\x95\x5c"}, {}},
        {"10,000 entries",
         [=](const std::string& s) {
             for (int i = 0; i < 10000; ++i) {
                 FILE* f = std::fopen((s + "/n" + std::to_string(i) + ".txt").c_str(), "w");
                 std::fclose(f);
             }
             bmp(s + "/hero.bmp");
         },
         "", {"hero"}, {}},
        {"link loop",
         [=](const std::string& s) {
             bmp(s + "/hero.bmp");
             fs::create_directory_symlink(s, s + "/loop.bmp");  // a folder matching the mask, leading back
         },
         "", {"hero"}, {msg::kWrongSize}},  // the folder entry itself is passed over once
        {"FIFO named x.png",
         [=](const std::string& s) {
             ASSERT_EQ(::mkfifo((s + "/x.png").c_str(), 0644), 0);  // opening it would block for ever
             bmp(s + "/hero.bmp");
         },
         "", {"hero"}, {}},
        {"source folder is the target folder",
         [=](const std::string& s) {
             writePng(sheet(288), s + "/hero.png");
             bmp(s + "/other.bmp");
         },
         "=", {"other"}, {}},
    };
}

TEST(HostileInput, BatchesOverHostileNamesAndFolders) {
    for (const HostileCase& c : cases()) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string src = dir / "src";
        fs::create_directory(src);
        const std::string dst = std::string(c.target) == "=" ? src : dir / "dst";
        fs::create_directory(dst);
        test::writeBmp(sheet(192), dir / "moto.bmp");
        c.setUp(src);

        test::RecordingInterface ui(dst);
        EXPECT_EQ(runBatch(actorforge(), Template(dir / "moto.bmp"), ui, src), BatchOutcome::Completed);
        for (const std::string& base : c.converted)
            for (const std::string& suffix : charchip::outputSuffixes())
                EXPECT_TRUE(test::fileExists(dst + "/" + base + suffix)) << base + suffix;
        std::vector<std::string> shown;
        for (const std::string& m : ui.entriesStartingWith("message ")) shown.push_back(m.substr(8));
        EXPECT_EQ(shown, c.messages);
        EXPECT_EQ(ui.log.back(), "beep");
    }
}

TEST(HostileInput, ASourceInTheTargetFolderIsNeverReplaced) {
    TempDir dir, templateDir;
    test::writeBmp(sheet(192), templateDir / "moto.bmp");
    // A character sheet named like an output of another entry: hero.bmp
    // would write hero_00.png over it.
    writePng(sheet(288), dir / "hero_00.png");
    test::writeBmp(sheet(288), dir / "hero.bmp");
    const auto before = test::readFile(dir / "hero_00.png");

    test::RecordingInterface ui(dir.path());
    runBatch(actorforge(), Template(templateDir / "moto.bmp"), ui, dir.path());
    EXPECT_EQ(test::readFile(dir / "hero_00.png"), before);
    const auto messages = ui.entriesStartingWith("message ");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(dir / "hero_00.png"), std::string::npos) << messages[0];
    // hero_00.png itself was converted (its outputs do not collide).
    EXPECT_TRUE(test::fileExists(dir / "hero_00_31.png"));
}

}  // namespace
}  // namespace chipshift
