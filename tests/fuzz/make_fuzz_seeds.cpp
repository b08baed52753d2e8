// Writes seed inputs for both fuzz targets into two folders: bitmaps of every
// depth made by the tests' own bitmap writer.
#include "image/PngWriter.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <string>

using namespace chipshift;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_fuzz_seeds LOAD_DIR CONVERT_DIR\n");
        return 2;
    }
    const std::string loadDir = argv[1], convertDir = argv[2];
    const PixelFormat formats[] = {PixelFormat::Indexed1, PixelFormat::Indexed4, PixelFormat::Indexed8,
                                   PixelFormat::Rgb555,   PixelFormat::Rgb565,   PixelFormat::Rgb24,
                                   PixelFormat::Rgb32};
    int n = 0;
    for (PixelFormat f : formats) {
        const PixelFormatTraits t = traitsOf(f);
        const Image img = test::makeImage(9, 7, f, t.indexed ? test::rampPalette(t.maxPaletteEntries) : Palette(),
                                          [&](int x, int y) { return std::uint32_t(x * 31 + y * 7) & t.allBits; });
        auto bytes = test::encodeBmp(img);
        bytes.insert(bytes.begin(), 0);  // first byte even: loaded as ".bmp"
        test::writeFile(loadDir + "/bmp" + std::to_string(n), bytes);

        // The same picture as PNG (first byte odd: loaded as ".png").
        const std::string png = loadDir + "/tmp.png";
        writePng(img, png);
        auto pngBytes = test::readFile(png);
        std::remove(png.c_str());
        pngBytes.insert(pngBytes.begin(), 1);
        test::writeFile(loadDir + "/png" + std::to_string(n), pngBytes);

        // Conversions: well-formed template of this depth, each program.
        for (std::uint8_t program : {0, 1}) {
            const std::vector<std::uint8_t> input{program, 127, 63, static_cast<std::uint8_t>(n % 6), 1, 2, 3};
            test::writeFile(convertDir + "/c" + std::to_string(n) + "_" + std::to_string(program), input);
        }
        ++n;
    }
    return 0;
}
