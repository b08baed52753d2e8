// Writes the benchmark's source sheets: N chipsets and N character sheets of
// seeded pixel art, mostly 8-bit bitmaps and every eighth one a palette PNG,
// plus an 8-bit template. The same seed always gives the same files.
//
//   bench_make_sheets [--chipsets N] [--characters N] [--seed S] OUT_FOLDER
//
// OUT_FOLDER/chipsets, OUT_FOLDER/characters and OUT_FOLDER/moto8.bmp.

#include "bench/BmpOut.h"
#include "bench/SheetArt.h"
#include "image/PngWriter.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

namespace {

using namespace chipshift;

void writeSheet(const Image& sheet, const std::string& folder, const char* stem, int i) {
    char name[64];
    const bool png = i % 8 == 7;
    std::snprintf(name, sizeof name, "%s%04d.%s", stem, i, png ? "png" : "bmp");
    const std::string path = folder + "/" + name;
    if (png) writePng(sheet, path);
    else bench::writeBmp8(sheet, path);
}

int usage() {
    std::fputs("usage: bench_make_sheets [--chipsets N] [--characters N] [--seed S] OUT_FOLDER\n", stderr);
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    int chipsets = 200, characters = 200;
    unsigned long long seed = 2000;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 < argc && a == "--chipsets") chipsets = std::atoi(argv[++i]);
        else if (i + 1 < argc && a == "--characters") characters = std::atoi(argv[++i]);
        else if (i + 1 < argc && a == "--seed") seed = std::strtoull(argv[++i], nullptr, 10);
        else if (out.empty() && a[0] != '-') out = a;
        else return usage();
    }
    if (out.empty()) return usage();
    try {
        namespace fs = std::filesystem;
        fs::create_directories(out + "/chipsets");
        fs::create_directories(out + "/characters");
        for (int i = 0; i < chipsets; ++i)
            writeSheet(bench::makeChipset(seed * 100003 + static_cast<unsigned>(i)), out + "/chipsets", "chip", i);
        for (int i = 0; i < characters; ++i)
            writeSheet(bench::makeCharacterSheet(seed * 100003 + static_cast<unsigned>(i)), out + "/characters", "char", i);
        bench::writeBmp8(bench::makeIndexedTemplate(), out + "/moto8.bmp");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
