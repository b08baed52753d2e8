// The floor of a batch run: the part of the work no conversion can avoid.
// For every source sheet of a folder it decodes the sheet and writes that
// sheet's output images with the project's PNG writer, nothing else: no
// template loads, no resizes, no copies. The output images are taken from a
// batch run's target folder and read back before the clock starts for them.
//
//   bench_floor (mapforge|actorforge) SOURCE_FOLDER BATCH_OUTPUT_FOLDER FLOOR_TARGET_FOLDER
//
// Prints one line: sheets, files, wall seconds and CPU seconds of the timed
// work (decoding and writing only).

#include "charchip/CharChipConverter.h"
#include "image/HeapSettings.h"
#include "image/LoadByExtension.h"
#include "image/PngReader.h"
#include "image/PngWriter.h"
#include "mapchip/MapChipConverter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <time.h>
#include <vector>

namespace {

using namespace chipshift;

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Times the stretches of work between start() and stop(), on the wall clock
// and in CPU time.
class Stopwatch {
public:
    void start() {
        wall0_ = std::chrono::steady_clock::now();
        cpu0_ = cpuSeconds();
    }
    void stop() {
        wall_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0_).count();
        cpu_ += cpuSeconds() - cpu0_;
    }
    double wall() const { return wall_; }
    double cpu() const { return cpu_; }

private:
    std::chrono::steady_clock::time_point wall0_;
    double cpu0_ = 0, wall_ = 0, cpu_ = 0;
};

std::vector<std::string> sourcesIn(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string ext = e.path().extension().string();
        if (ext == ".png" || ext == ".bmp") files.push_back(e.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    // The same heap settings as the programs, so the floor pays no page
    // faults that the batch does not.
    chipshift::keepReleasedMemoryInHeap();
    if (argc != 5) {
        std::fputs("usage: bench_floor (mapforge|actorforge) SOURCE_FOLDER BATCH_OUTPUT_FOLDER FLOOR_TARGET_FOLDER\n",
                   stderr);
        return 64;
    }
    const std::string program = argv[1], sources = argv[2], outputs = argv[3], target = argv[4];
    const std::vector<std::string>& suffixes =
        program == "mapforge" ? mapchip::outputSuffixes() : charchip::outputSuffixes();
    try {
        std::filesystem::create_directories(target);
        Stopwatch clock;
        Image source;
        std::vector<Image> images(suffixes.size());
        std::size_t sheets = 0, files = 0;
        for (const std::string& name : sourcesIn(sources)) {
            const std::string base = std::filesystem::path(name).stem().string();
            // The output images, read before the clock runs.
            for (std::size_t i = 0; i < suffixes.size(); ++i) readPng(images[i], outputs + "/" + base + suffixes[i]);

            clock.start();
            Image decoded;
            loadByExtension(decoded, sources + "/" + name);
            for (std::size_t i = 0; i < suffixes.size(); ++i) writePng(images[i], target + "/" + base + suffixes[i]);
            clock.stop();
            ++sheets;
            files += suffixes.size();
        }
        std::printf("sheets %zu files %zu wall %.6f cpu %.6f\n", sheets, files, clock.wall(), clock.cpu());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
