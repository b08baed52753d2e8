// Both programs end to end through their command-line mode: exit statuses,
// messages, the template beside the executable and the protection of the
// source file.
#include "image/Image.h"
#include "image/PngWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace chipshift {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct Result {
    int status;
    std::string out;
};

// Runs a command line through the shell, capturing standard output and
// standard error together.
Result run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
    const int raw = ::pclose(pipe);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out};
}

std::string quote(const std::string& s) { return "'" + s + "'"; }

Image sheet(int w, int h) {
    return test::makeImage(w, h, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 5); });
}

TEST(CommandLine, MapforgeConvertsAChipsetIntoEighteenFiles) {
    TempDir dir;
    fs::create_directory(dir / "out");
    test::writeBmp(sheet(480, 256), dir / "town.bmp");
    const Result r = run(quote(MAPFORGE_BIN) + " " + quote(dir / "town.bmp") + " " + quote(dir / "out"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "処理完了！\n");
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "out")) ++files;
    EXPECT_EQ(files, 18);
    EXPECT_TRUE(test::fileExists(dir / "out/town_Anime2.png"));
}

TEST(CommandLine, RefusalsAndUsage) {
    TempDir dir;
    test::writeBmp(sheet(480, 256), dir / "chips.bmp");
    test::writeBmp(sheet(288, 256), dir / "hero.bmp");
    fs::create_directory(dir / "out");
    struct Case {
        std::string command;
        int status;
        std::string output;
    };
    const std::string map = quote(MAPFORGE_BIN), actor = quote(ACTORFORGE_BIN);
    const Case cases[] = {
        {map + " '' ''", 1, "ﾌｧｲﾙがありません\n"},
        {map + " " + quote(dir / "chips.bmp") + " " + quote(dir / "none"), 1, "ﾌｫﾙﾀﾞがありません\n"},
        {map + " " + quote(dir / "hero.bmp") + " " + quote(dir / "out"), 1, "不正なサイズです。\n"},
        {actor + " " + quote(dir / "chips.bmp") + " " + quote(dir / "out"), 1, "不正なサイズです。\n"},
    };
    for (const Case& c : cases) {
        const Result r = run(c.command);
        EXPECT_EQ(r.status, c.status) << c.command;
        EXPECT_EQ(r.out, c.output) << c.command;
    }
    EXPECT_TRUE(fs::is_empty(dir / "out"));

    const Result help = run(map + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("SOURCE_FILE TARGET_FOLDER"), std::string::npos);
}

TEST(CommandLine, ACopyOfTheProgramUsesTheTemplateBesideIt) {
    TempDir dir;
    fs::copy_file(ACTORFORGE_BIN, dir / "actorforge");
    test::writeBmp(sheet(288, 256), dir / "hero.bmp");
    const Result missing = run(quote(dir / "actorforge") + " " + quote(dir / "hero.bmp") + " " + quote(dir.path()));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.out.find(dir / "moto.bmp"), std::string::npos) << missing.out;
    EXPECT_EQ(missing.out.find("処理完了"), std::string::npos);
    EXPECT_FALSE(test::fileExists(dir / "hero_00.png"));

    // A template of another size beside the copy gives itself away in the output.
    test::writeBmp(test::makeImage(300, 300, PixelFormat::Rgb24, {}, [](int, int) { return 0u; }), dir / "moto.bmp");
    EXPECT_EQ(run(quote(dir / "actorforge") + " " + quote(dir / "hero.bmp") + " " + quote(dir.path())).status, 0);
    EXPECT_TRUE(test::fileExists(dir / "hero_31.png"));
}

TEST(CommandLine, AConversionNeverReplacesItsOwnSource) {
    TempDir dir;
    writePng(sheet(480, 256), dir / "town.png");
    const auto before = test::readFile(dir / "town.png");
    // Into its own folder, the tileset sheet would be town.png itself.
    const Result r = run(quote(MAPFORGE_BIN) + " " + quote(dir / "town.png") + " " + quote(dir.path()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(dir / "town.png"), std::string::npos) << r.out;
    EXPECT_EQ(test::readFile(dir / "town.png"), before);
    EXPECT_FALSE(test::fileExists(dir / "town_Auto00.png"));
}

}  // namespace
}  // namespace chipshift
