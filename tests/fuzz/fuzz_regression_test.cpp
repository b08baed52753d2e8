// Replays every saved fuzz input (crashes and hangs found, kept as regression
// cases) through both fuzzed entry points.
#include "tests/fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace chipshift {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void replay(const char* sub, void (*target)(const std::uint8_t*, std::size_t)) {
    const fs::path dir = fs::path(CHIPSHIFT_FUZZ_DIR) / "regressions" / sub;
    if (!fs::exists(dir)) GTEST_SKIP() << "no saved inputs in " << dir;
    for (const auto& e : fs::directory_iterator(dir)) {
        SCOPED_TRACE(e.path().string());
        const auto bytes = bytesOf(e.path());
        target(bytes.data(), bytes.size());
    }
}

TEST(FuzzRegressions, LoadInputs) { replay("load", &fuzz::loadByExtensionInput); }
TEST(FuzzRegressions, ConversionInputs) { replay("convert", &fuzz::conversionInput); }
TEST(FuzzRegressions, DeflateInputs) { replay("deflate", &fuzz::deflateInput); }

// A few hand-made inputs that drive the conversion path all the way through
// with each template depth, so the replay is never empty.
TEST(FuzzRegressions, WellFormedConversions) {
    for (std::uint8_t program : {0, 1})
        for (std::uint8_t depth = 0; depth < 6; ++depth) {
            const std::uint8_t input[] = {program, 127, 63, depth, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
            fuzz::conversionInput(input, sizeof input);
        }
}

}  // namespace
}  // namespace chipshift
