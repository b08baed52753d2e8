// Faults in the middle of a conversion: the target folder removed or made
// unwritable, the disk filling up, the template removed between two loads, a
// source removed between listing and conversion. Each ends with the error
// report; what was written before stays intact, no temporary file remains in
// the target folder and no file descriptor stays open.
#include "image/ImageError.h"
#include "image/WriteHook.h"
#include "mapchip/MapChipConverter.h"
#include "shell/BatchRun.h"
#include "shell/SingleFileRun.h"
#include "tests/support/RecordingInterface.h"
#include "tests/support/TestSupport.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chipshift {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

Program mapforge() {
    return {"mapforge", "test", mapchip::kSheetWidth, 256, &mapchip::ConvertSheet, mapchip::outputSuffixes(), false};
}

int openDescriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

// Hidden files are where the writer keeps an output until it is complete.
std::vector<std::string> temporaryFiles(const std::string& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.path().filename().string().front() == '.') out.push_back(e.path().string());
    return out;
}

class HookGuard {
public:
    explicit HookGuard(BeforeWriteHook hook) { setBeforeWriteHook(std::move(hook)); }
    ~HookGuard() { setBeforeWriteHook({}); }
};

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class FaultInjection : public testing::Test {
public:
    void SetUp() override {
        test::writeBmp(test::makeImage(480, 256, PixelFormat::Rgb24, {},
                                       [](int x, int y) { return test::distinctRgb(x, y, 7); }),
                       dir / "town.bmp");
        test::writeBmp(test::makeImage(256, 256, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 8); }),
                       dir / "moto.bmp");
        fs::create_directory(ref);
        fs::create_directory(out);
        test::RecordingInterface ui;
        runSingleFile(mapforge(), templ, ui, dir / "town.bmp", ref);  // the outputs as they should be
        descriptorsBefore = openDescriptors();
    }

    // Runs the single-file run expecting an error that names `failing`;
    // checks the outputs before it are whole and the ones after it absent.
    void expectFailureAt(const std::string& failing) {
        test::RecordingInterface ui;
        try {
            runSingleFile(mapforge(), templ, ui, dir / "town.bmp", out);
            ADD_FAILURE() << "the run did not fail";
        } catch (const ImageError& e) {
            EXPECT_NE(std::string(e.what()).find(failing), std::string::npos) << e.what();
        }
        EXPECT_TRUE(ui.log.empty()) << "no completion message";
        expectOutputsUpTo(failing);
    }

    void expectOutputsUpTo(const std::string& failing) {
        bool before = true;
        for (const std::string& suffix : mapchip::outputSuffixes()) {
            const std::string name = "/town" + suffix;
            if (out + name == failing) before = false;
            if (before && fs::exists(out))
                EXPECT_EQ(test::readFile(out + name), test::readFile(ref + name)) << name;
            else
                EXPECT_FALSE(fs::exists(out + name)) << name;
        }
        EXPECT_EQ(temporaryFiles(out), std::vector<std::string>{});
        EXPECT_EQ(openDescriptors(), descriptorsBefore);
    }

    TempDir dir;
    const std::string ref = dir / "ref";
    const std::string out = dir / "out";
    const Template templ{dir / "moto.bmp"};
    int descriptorsBefore = 0;
};

TEST_F(FaultInjection, TargetFolderRemovedHalfWay) {
    HookGuard hook([&](const std::string& path) {
        if (endsWith(path, "_Auto03.png")) fs::remove_all(out);
    });
    expectFailureAt(out + "/town_Auto03.png");
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(FaultInjection, TargetFolderMadeUnwritableHalfWay) {
    // Root writes into any folder, so the run goes on as an ordinary user.
    EXPECT_TRUE(test::runUnprivileged(dir.path(), [&] {
        HookGuard hook([&](const std::string& path) {
            if (endsWith(path, "_Auto05.png")) ::chmod(out.c_str(), 0555);
        });
        expectFailureAt(out + "/town_Auto05.png");
    }));
}

TEST_F(FaultInjection, DiskFillsUpDuringAWrite) {
    // A small file system that holds the first outputs but not all: the
    // sizes of the outputs up to _Auto02 plus half of _Auto03.
    std::uintmax_t room = 0;
    for (const char* name : {".png", "_Auto00.png", "_Auto01.png", "_Auto02.png"})
        room += (fs::file_size(ref + "/town" + name) + 4095) / 4096 * 4096;
    room += fs::file_size(ref + "/town_Auto03.png") / 2;
    const std::string options = "size=" + std::to_string(room + 4096);
    const bool mounted = ::mount("tmpfs", out.c_str(), "tmpfs", 0, options.c_str()) == 0;
    std::string failing = out + "/town_Auto03.png";
    HookGuard hook([&](const std::string& path) {
        // Where no file system can be mounted, the writer is told the disk is full.
        if (!mounted && path == failing) throw ImageError(path + ": cannot write the file (No space left on device)");
    });
    test::RecordingInterface ui;
    try {
        runSingleFile(mapforge(), templ, ui, dir / "town.bmp", out);
        ADD_FAILURE() << "the run did not fail";
    } catch (const ImageError& e) {
        // The output that finds the disk full is named; which one it is
        // depends on how the file system counts its blocks.
        const std::string message = e.what();
        for (const std::string& suffix : mapchip::outputSuffixes())
            if (message.find(out + "/town" + suffix) != std::string::npos) failing = out + "/town" + suffix;
        EXPECT_NE(message.find(failing), std::string::npos) << message;
        EXPECT_NE(message.find("No space left"), std::string::npos) << message;
    }
    if (!mounted) std::printf("note: no file system could be mounted; the full disk was simulated\n");
    expectOutputsUpTo(failing);
    if (mounted) ::umount(out.c_str());
}

TEST_F(FaultInjection, TemplateRemovedBetweenTwoLoads) {
    // The tileset sheet is written between the first and second template load.
    HookGuard hook([&](const std::string& path) {
        if (endsWith(path, "/town.png")) fs::remove(dir / "moto.bmp");
    });
    test::RecordingInterface ui;
    try {
        runSingleFile(mapforge(), templ, ui, dir / "town.bmp", out);
        ADD_FAILURE() << "the run did not fail";
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find(dir / "moto.bmp"), std::string::npos) << e.what();
    }
    expectOutputsUpTo(out + "/town_Auto00.png");
}

TEST_F(FaultInjection, SourceRemovedBetweenListingAndConversion) {
    const std::string src = dir / "src";
    fs::create_directory(src);
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) fs::copy_file(dir / "town.bmp", src + "/" + name);
    test::RecordingInterface ui(out);
    ui.onPump = [&](test::RecordingInterface&, int pump) {
        if (pump == 1) fs::remove(src + "/b.bmp");
    };
    try {
        runBatch(mapforge(), templ, ui, src);
        ADD_FAILURE() << "the run did not fail";
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find(src + "/b.bmp"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::exists(out + "/a_Anime2.png"));
    EXPECT_FALSE(fs::exists(out + "/c.png"));
    EXPECT_EQ(ui.log.back(), "colour black");  // idle again, and no beep
    EXPECT_EQ(temporaryFiles(out), std::vector<std::string>{});
    EXPECT_EQ(openDescriptors(), descriptorsBefore);
}

}  // namespace
}  // namespace chipshift
