// The folder batch run, driven through the recording user interface: with a
// small stand-in converter for the frame, and with the two real converters.
#include "charchip/CharChipConverter.h"
#include "image/ImageError.h"
#include "image/OutputName.h"
#include "image/PngWriter.h"
#include "mapchip/MapChipConverter.h"
#include "shell/BatchRun.h"
#include "shell/Messages.h"
#include "tests/support/RecordingInterface.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace chipshift {
namespace {

namespace fs = std::filesystem;
using test::RecordingInterface;
using test::TempDir;

// The stand-in converter works on 6 x 4 sheets, records what it was given
// and writes one small file per suffix holding the source path.
constexpr int kFakeWidth = 6, kFakeHeight = 4;

struct FakeConverter {
    static inline std::vector<std::string> sources, targets;
    static inline std::vector<std::string> suffixes;

    static void convert(const Image& source, Image& firstWork, Image& secondWork, const std::string& targetFolder,
                        const std::string& sourcePath, const Template&) {
        EXPECT_EQ(source.width(), kFakeWidth);
        // Every entry gets fresh images: leave the work images dirty to show it.
        EXPECT_TRUE(firstWork.empty() && secondWork.empty());
        firstWork = source;
        secondWork = source;
        sources.push_back(sourcePath);
        targets.push_back(targetFolder);
        for (const std::string& suffix : suffixes)
            test::writeFile(outputName(targetFolder, sourcePath, suffix),
                            std::vector<std::uint8_t>(sourcePath.begin(), sourcePath.end()));
    }
};

Program fakeProgram(bool reportsWrongSize) {
    Program p;
    p.name = "fake";
    p.sheetWidth = kFakeWidth;
    p.sheetHeight = kFakeHeight;
    p.convertSheet = &FakeConverter::convert;
    p.outputSuffixes = FakeConverter::suffixes;
    p.reportsWrongSizeInBatch = reportsWrongSize;
    return p;
}

Image sheet(int w, int h) {
    return test::makeImage(w, h, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 3); });
}

// A picture of the given size in the format its extension claims (bitmap
// bytes for any other extension, which the run never reads).
void writeSheet(const std::string& path, int w, int h) {
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0)
        writePng(sheet(w, h), path);
    else
        test::writeBmp(sheet(w, h), path);
}

std::string running(std::size_t i, std::size_t n) {
    return "status " + std::string(msg::kBatchRunning) + std::to_string(i) + "/" + std::to_string(n);
}
const std::string kWrongSize = std::string("message ") + msg::kWrongSize;

// The whole log of a run that got through: running state, the first pump,
// what happened per entry, the idle state, "処理完了" and the beep.
std::vector<std::string> completedRun(std::initializer_list<std::string> entries) {
    std::vector<std::string> log{"running", "colour red", "pump"};
    log.insert(log.end(), entries);
    for (const char* tail : {"idle", "colour black"}) log.emplace_back(tail);
    log.push_back(std::string("status ") + msg::kBatchDone);
    log.emplace_back("beep");
    return log;
}

class BatchRun : public testing::Test {
public:
    void SetUp() override {
        FakeConverter::sources.clear();
        FakeConverter::targets.clear();
        FakeConverter::suffixes = {".png"};
        fs::create_directory(src);
        fs::create_directory(dst);
        test::writeBmp(test::makeImage(256, 256, PixelFormat::Rgb24, {}, [](int, int) { return 0xFFFFFFu; }),
                       dir / "moto.bmp");
    }

    void good(const std::string& name) { writeSheet(src + "/" + name, kFakeWidth, kFakeHeight); }
    void wrong(const std::string& name) { writeSheet(src + "/" + name, kFakeWidth - 1, kFakeHeight); }
    std::vector<std::string> inSource(std::initializer_list<const char*> names) const {
        std::vector<std::string> out;
        for (const char* n : names) out.push_back(src + "/" + n);
        return out;
    }

    TempDir dir;
    const std::string src = dir / "src";
    const std::string dst = dir / "dst";
    const Template templ{dir / "moto.bmp"};
};

TEST_F(BatchRun, CountsConversionsAndPassedOverEntries) {
    struct Case {
        const char* what;
        std::function<void(BatchRun&)> make;
        bool reportsWrongSize;
        std::vector<std::string> converted;  // names in the source folder
        std::vector<std::string> log;
    };
    const auto goodWrongGood = [](BatchRun& t) {
        t.good("a.png");
        t.wrong("b.png");
        t.good("c.png");
    };
    const auto xpng = [](BatchRun& t) {
        t.good("a.png");
        t.good("X.PNG");
    };
    const auto morePng = [](BatchRun& t) {
        fs::create_directory(t.src + "/more.png");
        t.good("more.png/y.png");
    };
    const Case cases[] = {
        {"png before bmp, other extensions ignored",
         [](BatchRun& t) {
             t.good("b.bmp");
             t.good("a.png");
             t.good("c.txt");
         },
         true, {"a.png", "b.bmp"}, completedRun({running(0, 2), "pump", running(1, 2), "pump"})},
        {"an empty folder", [](BatchRun&) {}, true, {}, completedRun({})},
        {"wrong size between two good ones, silently", goodWrongGood, false, {"a.png", "c.png"},
         completedRun({running(0, 3), "pump", running(1, 3), running(2, 3), "pump"})},
        {"wrong size between two good ones, reported", goodWrongGood, true, {"a.png", "c.png"},
         completedRun({running(0, 3), "pump", running(1, 3), kWrongSize, running(2, 3), "pump"})},
        {"an upper-case extension is listed but not read, silently", xpng, false, {"a.png"},
         completedRun({running(0, 2), "pump", running(1, 2)})},
        {"an upper-case extension is listed but not read, reported", xpng, true, {"a.png"},
         completedRun({running(0, 2), "pump", running(1, 2), kWrongSize})},
        {"a folder entry is passed over, its contents converted", morePng, false, {"more.png/y.png"},
         completedRun({running(0, 2), running(1, 2), "pump"})},
        {"a folder entry is reported as the wrong size", morePng, true, {"more.png/y.png"},
         completedRun({running(0, 2), kWrongSize, running(1, 2), "pump"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(src);
        fs::create_directory(src);
        FakeConverter::sources.clear();
        c.make(*this);
        RecordingInterface ui(dst);
        EXPECT_EQ(runBatch(fakeProgram(c.reportsWrongSize), templ, ui, src), BatchOutcome::Completed);
        std::vector<std::string> converted;
        for (const std::string& name : c.converted) converted.push_back(src + "/" + name);
        EXPECT_EQ(FakeConverter::sources, converted);
        EXPECT_EQ(ui.log, c.log);
    }
    // Entries of sub-folders land in the target folder itself.
    EXPECT_TRUE(test::fileExists(dst + "/y.png"));
}

TEST_F(BatchRun, ALaterEntryOfTheSameBaseNameReplacesTheOutputs) {
    good("a.png");
    good("a.bmp");
    RecordingInterface ui(dst);
    runBatch(fakeProgram(true), templ, ui, src);
    EXPECT_EQ(FakeConverter::sources, inSource({"a.png", "a.bmp"}));
    const auto written = test::readFile(dst + "/a.png");
    EXPECT_EQ(std::string(written.begin(), written.end()), src + "/a.bmp");
}

TEST_F(BatchRun, CancelStopsAfterTheEntryInWork) {
    struct Case {
        const char* what;
        std::vector<std::string> entries;  // "w" marks a wrong-size entry
        int cancelAtPump;                  // 0: never; -1: a stale request before the run
        std::vector<std::string> converted;
    };
    const Case cases[] = {
        {"cancel during the second of five", {"1.png", "2.png", "3.png", "4.png", "5.png"}, 3,
         {"1.png", "2.png"}},
        {"cancel before the first entry", {"1.png", "2.png", "3.png"}, 1, {"1.png"}},
        {"the request is looked at only after a converted entry", {"1w.png", "2w.png", "3.png", "4.png"}, 1,
         {"3.png"}},
        {"a stale request is cleared at the start", {"1.png", "2.png"}, -1, {"1.png", "2.png"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(src);
        fs::create_directory(src);
        FakeConverter::sources.clear();
        for (const std::string& e : c.entries) (e.find('w') != std::string::npos ? wrong(e) : good(e));
        RecordingInterface ui(dst);
        if (c.cancelAtPump < 0) ui.cancelRequest = 1;
        ui.onPump = [&](RecordingInterface& r, int pump) {
            if (pump == c.cancelAtPump) r.cancelRequest = 1;
        };
        EXPECT_EQ(runBatch(fakeProgram(true), templ, ui, src), BatchOutcome::Completed);
        std::vector<std::string> converted;
        for (const std::string& name : c.converted) converted.push_back(src + "/" + name);
        EXPECT_EQ(FakeConverter::sources, converted);
        const std::vector<std::string> tail(ui.log.end() - 2, ui.log.end());
        EXPECT_EQ(tail, (std::vector<std::string>{std::string("status ") + msg::kBatchDone, "beep"}));
    }
}

TEST_F(BatchRun, TheTargetFolderIsReadAfreshForEveryEntry) {
    good("a.png");
    good("b.png");
    const std::string other = dir / "other";
    fs::create_directory(other);
    RecordingInterface ui(dst);
    ui.onPump = [&](RecordingInterface& r, int pump) {
        if (pump == 2) r.targetFolder = other + "/";
    };
    runBatch(fakeProgram(true), templ, ui, src);
    EXPECT_EQ(FakeConverter::targets, (std::vector<std::string>{dst, other + "/"}));
    EXPECT_TRUE(test::fileExists(dst + "/a.png"));
    EXPECT_TRUE(test::fileExists(other + "/b.png"));
}

TEST_F(BatchRun, FolderChecksRefuseWithoutTouchingTheWindow) {
    const std::string missing = dir / "missing";
    struct Case {
        std::string source, target;
        const char* message;
    };
    const Case cases[] = {
        {"", "", msg::kNoSourceFolder},
        {missing, dst, msg::kNoSourceFolder},
        {src + "/", missing, msg::kNoTargetFolder},
        {src, "", msg::kNoTargetFolder},
    };
    good("a.png");
    for (const Case& c : cases) {
        RecordingInterface ui(c.target);
        ui.cancelRequest = 1;
        EXPECT_EQ(runBatch(fakeProgram(true), templ, ui, c.source), BatchOutcome::Refused);
        EXPECT_EQ(ui.log, std::vector<std::string>{std::string("message ") + c.message});
        EXPECT_EQ(ui.cancelRequest, 0);
    }
    EXPECT_TRUE(FakeConverter::sources.empty());
}

TEST_F(BatchRun, AnUnreadableEntryEndsTheRunWithTheControlsIdle) {
    good("a.png");
    test::writeFile(src + "/b.png", {'n', 'o', 't', ' ', 'p', 'n', 'g'});
    good("c.png");
    RecordingInterface ui(dst);
    EXPECT_THROW(runBatch(fakeProgram(true), templ, ui, src), ImageError);
    EXPECT_EQ(FakeConverter::sources, inSource({"a.png"}));
    EXPECT_EQ(ui.log, (std::vector<std::string>{"running", "colour red", "pump", running(0, 3), "pump",
                                                running(1, 3), "idle", "colour black"}));
}

TEST_F(BatchRun, AnEntryWhoseOutputsWouldReplaceASourceIsPassedOver) {
    // Into its own folder: a.png's output would be a.png itself, and
    // b.bmp's second output would be the source b_x.png.
    FakeConverter::suffixes = {".png", "_x.png"};
    good("a.png");
    good("b.bmp");
    good("b_x.png");
    good("c.bmp");
    const auto before = test::readFile(src + "/a.png");
    RecordingInterface ui(src);
    EXPECT_EQ(runBatch(fakeProgram(true), templ, ui, src), BatchOutcome::Completed);
    EXPECT_EQ(FakeConverter::sources, inSource({"c.bmp"}));
    const std::string replace = std::string("message ") + msg::kWouldReplaceSource;
    EXPECT_EQ(ui.log, completedRun({running(0, 4), replace + src + "/a.png", running(1, 4),
                                    replace + src + "/b_x.png", running(2, 4), replace + src + "/b_x.png",
                                    running(3, 4), "pump"}));
    EXPECT_EQ(test::readFile(src + "/a.png"), before);
}

// The real converters behind the same frame.
struct RealProgram {
    Program program;
    int width, otherWidth;
};

RealProgram mapforge() {
    return {{"mapforge", "", mapchip::kSheetWidth, mapchip::kSheetHeight, &mapchip::ConvertSheet,
             mapchip::outputSuffixes(), false},
            mapchip::kSheetWidth, charchip::kSheetWidth};
}
RealProgram actorforge() {
    return {{"actorforge", "", charchip::kSheetWidth, charchip::kSheetHeight, &charchip::ConvertSheet,
             charchip::outputSuffixes(), true},
            charchip::kSheetWidth, mapchip::kSheetWidth};
}

std::size_t filesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
    return n;
}

TEST_F(BatchRun, RealConvertersPassOverTheOtherProgramsSheet) {
    for (const RealProgram& real : {mapforge(), actorforge()}) {
        SCOPED_TRACE(real.program.name);
        fs::remove_all(src);
        fs::remove_all(dst);
        fs::create_directory(src);
        fs::create_directory(dst);
        writeSheet(src + "/a.png", real.width, 256);
        writeSheet(src + "/b.png", real.otherWidth, 256);
        writeSheet(src + "/c.bmp", real.width, 256);
        RecordingInterface ui(dst);
        EXPECT_EQ(runBatch(real.program, templ, ui, src), BatchOutcome::Completed);
        EXPECT_EQ(ui.entriesStartingWith("message"),
                  real.program.reportsWrongSizeInBatch ? std::vector<std::string>{kWrongSize}
                                                       : std::vector<std::string>{});
        EXPECT_EQ(filesIn(dst), 2 * real.program.outputSuffixes.size());
        for (const std::string& suffix : real.program.outputSuffixes) {
            EXPECT_TRUE(test::fileExists(outputName(dst, "a", suffix)));
            EXPECT_TRUE(test::fileExists(outputName(dst, "c", suffix)));
        }
    }
}

TEST_F(BatchRun, RealConverterIntoTheSourceFolderKeepsTheSource) {
    writeSheet(src + "/town.png", mapchip::kSheetWidth, 256);
    writeSheet(src + "/field.bmp", mapchip::kSheetWidth, 256);
    const auto before = test::readFile(src + "/town.png");
    RecordingInterface ui(src);
    EXPECT_EQ(runBatch(mapforge().program, templ, ui, src), BatchOutcome::Completed);
    EXPECT_EQ(ui.entriesStartingWith("message"),
              std::vector<std::string>{std::string("message ") + msg::kWouldReplaceSource + src + "/town.png"});
    EXPECT_EQ(test::readFile(src + "/town.png"), before);
    EXPECT_FALSE(test::fileExists(src + "/town_Auto00.png"));
    EXPECT_TRUE(test::fileExists(src + "/field_Anime2.png"));
}

TEST_F(BatchRun, ANameThatIsNotUtf8KeepsItsBytesInTheOutputs) {
    const std::string name = "\x83\x5c";
    writeSheet(src + "/" + name + ".png", charchip::kSheetWidth, 256);
    RecordingInterface ui(dst);
    EXPECT_EQ(runBatch(actorforge().program, templ, ui, src), BatchOutcome::Completed);
    EXPECT_TRUE(ui.entriesStartingWith("message").empty());
    for (const std::string& suffix : charchip::outputSuffixes())
        EXPECT_TRUE(test::fileExists(dst + "/" + name + suffix)) << suffix;
}

}  // namespace
}  // namespace chipshift
