// The command-line mode in process: argument forms, exit statuses, where the
// texts go, and Ctrl-C as the cancel button of a folder run.
#include "image/OutputName.h"
#include "shell/CommandLine.h"
#include "shell/Messages.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace chipshift {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::vector<std::string> converted;
bool interruptOnConvert = false;

void recordingConvert(const Image&, Image&, Image&, const std::string& targetFolder, const std::string& sourcePath,
                      const Template&) {
    converted.push_back(sourcePath);
    test::writeFile(outputName(targetFolder, sourcePath, ".png"), {1});
    // The user presses Ctrl-C while this entry is in work.
    if (interruptOnConvert) std::raise(SIGINT);
}

Program program() {
    Program p;
    p.name = "fake";
    p.sheetWidth = 4;
    p.sheetHeight = 2;
    p.convertSheet = &recordingConvert;
    p.outputSuffixes = {".png"};
    return p;
}

struct Outcome {
    int status;
    std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = runCommandLine(program(), Template("/nonexistent/moto.bmp"), args);
    std::string out = testing::internal::GetCapturedStdout();
    return {status, out, testing::internal::GetCapturedStderr()};
}

class CommandLine : public testing::Test {
public:
    void SetUp() override {
        converted.clear();
        interruptOnConvert = false;
        fs::create_directory(src);
        fs::create_directory(dst);
    }
    void sheet(const std::string& path, int w = 4) {
        test::writeBmp(test::makeImage(w, 2, PixelFormat::Rgb24, {}, [](int, int) { return 0u; }), path);
    }

    TempDir dir;
    const std::string src = dir / "src";
    const std::string dst = dir / "dst";
};

TEST_F(CommandLine, FolderRunStatusesAndWhereTheTextsGo) {
    sheet(src + "/a.bmp");
    sheet(src + "/b.bmp");
    const std::string done = std::string(msg::kBatchDone) + "\n";
    const std::string count = msg::kBatchRunning;

    const Outcome ok = run({"--folder", src, dst});
    EXPECT_EQ(ok.status, kExitCompleted);
    EXPECT_EQ(ok.out, done);
    EXPECT_EQ(ok.err, count + "0/2\n" + count + "1/2\n");
    EXPECT_EQ(converted, (std::vector<std::string>{src + "/a.bmp", src + "/b.bmp"}));

    const Outcome refused = run({"--folder", dir / "none", dst});
    EXPECT_EQ(refused.status, kExitRefused);
    EXPECT_EQ(refused.out, std::string(msg::kNoSourceFolder) + "\n");

    test::writeFile(src + "/c.png", {'x'});  // not a PNG: ends the run
    const Outcome failed = run({"--folder", "--", src, dst});
    EXPECT_EQ(failed.status, kExitError);
    EXPECT_EQ(failed.out, "");
    EXPECT_NE(failed.err.find(src + "/c.png"), std::string::npos) << failed.err;
}

TEST_F(CommandLine, TheFirstInterruptFinishesTheEntryInWorkAndEndsWith130) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) sheet(src + "/" + name);
    interruptOnConvert = true;
    const Outcome r = run({"--folder", src, dst});
    EXPECT_EQ(r.status, kExitInterrupted);
    EXPECT_EQ(converted, std::vector<std::string>{src + "/a.bmp"});
    EXPECT_TRUE(test::fileExists(dst + "/a.png"));
    EXPECT_EQ(r.out, std::string(msg::kBatchDone) + "\n");
    // The usual action is back once the run is over.
    struct sigaction now{};
    ::sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST_F(CommandLine, ADoubleDashLetsAPathBeginWithADash) {
    sheet(src + "/-x.bmp");
    const fs::path before = fs::current_path();
    fs::current_path(src);
    const Outcome option = run({"-x.bmp", dst});
    const Outcome path = run({"--", "-x.bmp", dst});
    fs::current_path(before);
    EXPECT_EQ(option.status, kExitUsage);
    EXPECT_EQ(path.status, kExitCompleted) << path.out << path.err;
    EXPECT_EQ(path.out, std::string(msg::kDone) + "\n");
    EXPECT_EQ(converted, std::vector<std::string>{"-x.bmp"});

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"--folder", src}, {src, dst, dst}, {"--folder", "--folder", src, dst}}) {
        EXPECT_EQ(run(args).status, kExitUsage);
    }
}

}  // namespace
}  // namespace chipshift
