// Compares PNG writer settings on the same images: reads the PNG outputs of
// batch runs, encodes each with every setting in memory, checks that every
// encoding decodes to the same pixels and palette, and prints time and bytes
// against libpng's defaults (zlib level 6, libpng's default filters).
//
//   bench_png_settings [--files N] [--reps R] [--baseline-dir D] [--only NAME] FOLDER...
//
// --files N        use the first N files of each folder (name order)
// --reps R         each encoding is timed R times and the fastest counts
// --baseline-dir D also writes the libpng-default encodings to D (for optipng)

#include "bench/PngVariants.h"
#include "image/PngReader.h"
#include "image/PngWriter.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <time.h>
#include <vector>

namespace {

using namespace chipshift;
using bench::Encoder;
using bench::RowRule;
using bench::Variant;

// CPU time of this thread: other work on a shared machine does not count.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::vector<Variant> variants() {
    std::vector<Variant> v;
    v.push_back({"libpng defaults (zlib 6)", Encoder::Libpng});
    for (int level : {1, 3, 9}) v.push_back({"libpng zlib " + std::to_string(level), Encoder::Libpng, -1, {}, level});
    v.push_back({"libpng filter none", Encoder::Libpng, PNG_FILTER_NONE});
    v.push_back({"libpng filter sub", Encoder::Libpng, PNG_FILTER_SUB});
    v.push_back({"libpng filter up", Encoder::Libpng, PNG_FILTER_UP});
    v.push_back({"libpng filter paeth", Encoder::Libpng, PNG_FILTER_PAETH});
    v.push_back({"libpng all filters", Encoder::Libpng, PNG_ALL_FILTERS});
    v.push_back({"libpng up, Z_RLE", Encoder::Libpng, PNG_FILTER_UP, {}, 6, Z_RLE});
    v.push_back({"libpng up, Z_FILTERED", Encoder::Libpng, PNG_FILTER_UP, {}, 6, Z_FILTERED});
    v.push_back({"chunks+zlib 1, up-for-repeats", Encoder::ChunkZlib, -1, RowRule::UpForRepeats, 1});
    v.push_back({"chunks+zlib 6, up-for-repeats", Encoder::ChunkZlib, -1, RowRule::UpForRepeats, 6});
    v.push_back({"chunks+zlib 6 Z_RLE, up-for-repeats", Encoder::ChunkZlib, -1, RowRule::UpForRepeats, 6, Z_RLE});
    v.push_back({"chunks+zlib 6 Z_FILTERED, up/sub", Encoder::ChunkZlib, -1, RowRule::UpForRepeatsSub, 6, Z_FILTERED});
    // deflateTune: good, lazy, nice and chain lengths.
    const struct { int good, lazy, nice, chain; } tunes[] = {
        {4, 16, 258, 32}, {4, 16, 258, 64}, {4, 16, 258, 96}, {4, 16, 258, 128}, {4, 258, 258, 128},
    };
    // Levels 1 to 3 match greedily and leave positions inside a match longer
    // than the "lazy" length out of the hash chains.
    const struct { int good, insert, nice, chain; } greedy[] = {
        {4, 4, 258, 128}, {4, 32, 258, 256},
    };
    for (const auto& t : greedy)
        v.push_back({"chunks+zlib greedy " + std::to_string(t.insert) + "/" + std::to_string(t.nice) + "/" +
                         std::to_string(t.chain) + ", up-for-repeats",
                     Encoder::ChunkZlib, -1, RowRule::UpForRepeats, 3, -1, t.good, t.insert, t.nice, t.chain});
    for (const auto& t : tunes)
        v.push_back({"chunks+zlib tuned " + std::to_string(t.good) + "/" + std::to_string(t.lazy) + "/" +
                         std::to_string(t.nice) + "/" + std::to_string(t.chain) + ", up-for-repeats",
                     Encoder::ChunkZlib, -1, RowRule::UpForRepeats, 6, -1, t.good, t.lazy, t.nice, t.chain});
    for (int chain : {16, 32, 64, 128, 256})
        v.push_back({"chunks+pixel-art deflate, chain " + std::to_string(chain), Encoder::ChunkPixelArt, -1,
                     RowRule::UpForRepeats, -1, -1, 0, 0, 0, chain});
#ifdef CHIPSHIFT_HAVE_LIBDEFLATE
    const struct { const char* name; RowRule rule; } rules[] = {
        {"none", RowRule::None}, {"up", RowRule::Up}, {"paeth", RowRule::Paeth}, {"up-for-repeats", RowRule::UpForRepeats},
    };
    for (int level : {1, 6, 7, 8, 9})
        for (const auto& r : rules)
            v.push_back({"chunks+libdeflate " + std::to_string(level) + ", " + r.name, Encoder::ChunkLibdeflate, -1,
                         r.rule, level});
    v.push_back({"chunks+libdeflate 6, adaptive", Encoder::ChunkLibdeflate, -1, RowRule::Adaptive, 6});
    v.push_back({"chunks+libdeflate 6, up/sub", Encoder::ChunkLibdeflate, -1, RowRule::UpForRepeatsSub, 6});
    Variant alike{"chunks+libdeflate 7, up when 90% alike", Encoder::ChunkLibdeflate, -1, RowRule::UpWhenAlike, 7};
    alike.alike = 900;
    v.push_back(alike);
    v.push_back({"chunks+libdeflate 10, up-for-repeats", Encoder::ChunkLibdeflate, -1, RowRule::UpForRepeats, 10});
#endif
    return v;
}

struct Tally {
    double seconds = 0;
    std::size_t bytes = 0;
};

bool samePicture(const Image& a, const Image& b) {
    return a.width() == b.width() && a.height() == b.height() && a.format() == b.format() &&
           a.palette() == b.palette() && a.pixels() == b.pixels();
}

std::vector<std::string> pngsIn(const std::string& folder, std::size_t limit) {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == ".png") files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    if (files.size() > limit) files.resize(limit);
    return files;
}

int usage() {
    std::fputs("usage: bench_png_settings [--files N] [--reps R] [--baseline-dir D] FOLDER...\n", stderr);
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t limit = static_cast<std::size_t>(-1);
    int reps = 3;
    std::string baselineDir, only;
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 < argc && a == "--files") limit = std::strtoull(argv[++i], nullptr, 10);
        else if (i + 1 < argc && a == "--reps") reps = std::max(1, std::atoi(argv[++i]));
        else if (i + 1 < argc && a == "--baseline-dir") baselineDir = argv[++i];
        else if (i + 1 < argc && a == "--only") only = argv[++i];
        else if (a[0] != '-') folders.push_back(a);
        else return usage();
    }
    if (folders.empty()) return usage();

    try {
        std::vector<Variant> vs = variants();
        if (!only.empty())
            std::erase_if(vs, [&](const Variant& v) { return v.name != only && v.name.find(only) == std::string::npos && &v != &vs[0]; });
        std::vector<Tally> tally(vs.size() + 1);  // the last: the project's writer, to files
        const std::string scratch = std::filesystem::temp_directory_path() / "chipshift_bench_writer.png";
        std::size_t files = 0, pixels = 0;
        for (const std::string& folder : folders) {
            for (const std::string& path : pngsIn(folder, limit)) {
                Image image;
                readPng(image, path);
                ++files;
                pixels += static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
                for (std::size_t k = 0; k < vs.size(); ++k) {
                    double best = 1e9;
                    std::vector<std::uint8_t> bytes;
                    for (int r = 0; r < reps; ++r) {
                        const double t0 = cpuSeconds();
                        bytes = bench::encodePng(image, vs[k]);
                        best = std::min(best, cpuSeconds() - t0);
                    }
                    Image back;
                    readPngBytes(back, bytes.data(), bytes.size(), vs[k].name);
                    if (!samePicture(image, back)) throw std::runtime_error(vs[k].name + " changed " + path);
                    tally[k].seconds += best;
                    tally[k].bytes += bytes.size();
                    if (k == 0 && !baselineDir.empty()) {
                        const std::string name = std::filesystem::path(path).filename().string();
                        std::ofstream(baselineDir + "/" + std::to_string(files) + "_" + name, std::ios::binary)
                            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
                    }
                }
                double best = 1e9;
                for (int r = 0; r < reps; ++r) {
                    const double t0 = cpuSeconds();
                    writePng(image, scratch);
                    best = std::min(best, cpuSeconds() - t0);
                }
                tally.back().seconds += best;
                tally.back().bytes += std::filesystem::file_size(scratch);
            }
        }
        std::filesystem::remove(scratch);

        std::printf("%zu images, %.1f Mpixels; CPU time, fastest of %d runs each\n", files, pixels / 1e6, reps);
        std::printf("| %-40s | %9s | %8s | %11s | %8s | %7s |\n", "setting", "total ms", "ms/file", "bytes",
                    "speed-up", "bytes x");
        std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(42, '-').c_str(), std::string(11, '-').c_str(),
                    std::string(10, '-').c_str(), std::string(13, '-').c_str(), std::string(10, '-').c_str(),
                    std::string(9, '-').c_str());
        const Tally base = tally[0];
        for (std::size_t k = 0; k < tally.size(); ++k) {
            const std::string name = k < vs.size() ? vs[k].name : "PROJECT WRITER (writePng, to a file)";
            std::printf("| %-40s | %9.1f | %8.3f | %11zu | %7.2fx | %7.3f |\n", name.c_str(), tally[k].seconds * 1e3,
                        tally[k].seconds * 1e3 / static_cast<double>(files), tally[k].bytes,
                        base.seconds / tally[k].seconds, static_cast<double>(tally[k].bytes) / static_cast<double>(base.bytes));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
