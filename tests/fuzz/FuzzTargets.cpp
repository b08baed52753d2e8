#include "tests/fuzz/FuzzTargets.h"

#include "charchip/CharChipConverter.h"
#include "image/ImageError.h"
#include "image/LoadByExtension.h"
#include "image/PixelArtDeflate.h"
#include "image/PngReader.h"
#include "image/PngWriter.h"
#include "mapchip/MapChipConverter.h"
#include "shell/SingleFileRun.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace chipshift::fuzz {
namespace {

namespace fs = std::filesystem;

// One folder per process, emptied after every input and removed at exit.
// The name is never destroyed, so the exit handler can still read it.
const std::string& workFolder() {
    static const std::string* folder = [] {
        std::string base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
        std::string pattern = base + "/chipshift-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(workFolder(), ec);
        });
        return new std::string(pattern);
    }();
    return *folder;
}

void clearWorkFolder() {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(workFolder(), ec)) fs::remove_all(e.path(), ec);
}

void writeBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

class Reader {
public:
    Reader(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
    std::uint8_t byte() { return pos_ < n_ ? d_[pos_++] : 0; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }
    std::vector<std::uint8_t> take(std::size_t count) {
        count = std::min(count, n_ - pos_);
        std::vector<std::uint8_t> out(d_ + pos_, d_ + pos_ + count);
        pos_ += count;
        return out;
    }
    std::vector<std::uint8_t> rest() { return take(n_ - pos_); }

private:
    const std::uint8_t* d_;
    std::size_t n_;
    std::size_t pos_ = 0;
};

void put(std::vector<std::uint8_t>& b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A well-formed bottom-up bitmap of w x h at bpp bits whose colour table and
// pixel bytes are taken, repeating, from seed.
std::vector<std::uint8_t> wellFormedBitmap(int w, int h, int bpp, const std::vector<std::uint8_t>& seed) {
    const std::uint32_t rowBytes = ((static_cast<std::uint32_t>(w) * bpp + 31) / 32) * 4;
    const std::uint32_t colours = bpp <= 8 ? (1u << bpp) : 0;
    const std::uint32_t offset = 54 + colours * 4;
    std::vector<std::uint8_t> b{'B', 'M'};
    put(b, offset + rowBytes * h, 4);
    put(b, 0, 4);
    put(b, offset, 4);
    put(b, 40, 4);
    put(b, static_cast<std::uint32_t>(w), 4);
    put(b, static_cast<std::uint32_t>(h), 4);
    put(b, 1, 2);
    put(b, static_cast<std::uint32_t>(bpp), 2);
    put(b, 0, 4);
    put(b, rowBytes * h, 4);
    put(b, 0, 4);
    put(b, 0, 4);
    put(b, colours, 4);
    put(b, 0, 4);
    const std::size_t body = colours * 4 + static_cast<std::size_t>(rowBytes) * h;
    for (std::size_t i = 0; i < body; ++i) b.push_back(seed.empty() ? std::uint8_t(i) : seed[i % seed.size()]);
    return b;
}

class SilentInterface : public UserInterface {
public:
    void showMessage(const std::string&) override {}
    void showError(const std::string&) override {}
    void setStatus(const std::string&) override {}
    void setStatusColour(StatusColour) override {}
    void setRunning(bool) override {}
    void pumpEvents() override {}
    void beep() override {}
    std::string targetFolderText() override { return {}; }
};

const int kBitDepths[] = {1, 4, 8, 16, 24, 32};

}  // namespace

void loadByExtensionInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    const std::string path = workFolder() + ((data[0] & 1) ? "/input.png" : "/input.bmp");
    writeBytes(path, data + 1, size - 1);
    Image image;
    try {
        loadByExtension(image, path);
    } catch (const ImageError&) {
        if (!image.empty()) std::abort();  // a failed load must leave the image as it was
    }
    // Whatever was read must survive the writer: written and read back, the
    // same pixels in the same format (16-bit and 32-bit pictures come back as
    // 24-bit, so compare colours). Only pictures of a sheet's or template's
    // order of size: a few bytes of run-length data can claim 4096 x 4096
    // pixels, and three copies of that under the sanitizers would exhaust
    // the fuzzer's memory limit without testing anything new.
    if (!image.empty() && std::uint64_t(image.width()) * std::uint64_t(image.height()) <= (1u << 20)) {
        const std::string written = workFolder() + "/written.png";
        writePng(image, written);
        Image back;
        readPng(back, written);
        if (back.width() != image.width() || back.height() != image.height()) std::abort();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!(back.colorAt(x, y) == image.colorAt(x, y))) std::abort();
    }
    clearWorkFolder();
}

void conversionInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    const std::uint8_t flags = in.byte();
    const bool actor = flags & 1;
    const bool rawTemplate = flags & 2;
    const bool rawSource = flags & 4;
    const bool pngSource = flags & 8;

    const Program program{
        .name = actor ? "actorforge" : "mapforge",
        .title = "fuzz",
        .sheetWidth = actor ? charchip::kSheetWidth : mapchip::kSheetWidth,
        .sheetHeight = 256,
        .convertSheet = actor ? &charchip::ConvertSheet : &mapchip::ConvertSheet,
        .outputSuffixes = actor ? charchip::outputSuffixes() : mapchip::outputSuffixes(),
        .reportsWrongSizeInBatch = actor,
    };

    const std::string folder = workFolder();
    const std::string templatePath = folder + "/moto.bmp";
    fs::create_directory(folder + "/out");

    if (rawTemplate) {
        const std::uint16_t n = in.u16();
        const auto bytes = in.take(n);
        writeBytes(templatePath, bytes.data(), bytes.size());
    } else {
        const int w = 1 + in.byte() * 2, h = 1 + in.byte() * 4;
        const int bpp = kBitDepths[in.byte() % 6];
        const auto bytes = wellFormedBitmap(w, h, bpp, in.take(64));
        writeBytes(templatePath, bytes.data(), bytes.size());
    }

    const std::string sourcePath = folder + (pngSource ? "/sheet.png" : "/sheet.bmp");
    if (rawSource) {
        const auto bytes = in.rest();
        writeBytes(sourcePath, bytes.data(), bytes.size());
    } else {
        const int bpp = kBitDepths[in.byte() % 6];
        const auto bytes = wellFormedBitmap(program.sheetWidth, 256, bpp, in.rest());
        writeBytes(folder + "/sheet.bmp", bytes.data(), bytes.size());
    }

    SilentInterface ui;
    try {
        runSingleFile(program, Template(templatePath), ui, rawSource ? sourcePath : folder + "/sheet.bmp",
                      folder + "/out");
    } catch (const ImageError&) {
    }
    // Every output written must be a PNG file that an independent decoder
    // (libpng's) reads.
    for (const auto& e : fs::directory_iterator(folder + "/out")) {
        Image back;
        readPng(back, e.path().string());
    }
    clearWorkFolder();
}

void deflateInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    PixelArtLayout layout;
    layout.rowBytes = 1 + in.u16() % 2048;
    layout.bytesPerPixel = in.byte() % 4 + 1;
    const int depth = 1 + in.byte() % 128;
    const std::vector<std::uint8_t> input = in.rest();
    layout.totalBytes = input.size();
    const std::vector<std::uint8_t> packed = pixelArtCompress(input.data(), input.size(), layout, depth);
    std::vector<std::uint8_t> back(input.size() + 1);
    uLongf backSize = back.size();
    if (::uncompress(back.data(), &backSize, packed.data(), packed.size()) != Z_OK) std::abort();
    if (backSize != input.size() || !std::equal(input.begin(), input.end(), back.begin())) std::abort();
}

}  // namespace chipshift::fuzz
