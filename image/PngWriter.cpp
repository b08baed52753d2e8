#include "image/PngWriter.h"

#include "image/ImageError.h"
#include "image/PngSettings.h"
#include "image/ReplacingFile.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace chipshift {

namespace {

// The PNG layout of one image: bit depth, colour type and the PLTE entries.
struct PngLayout {
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGB;
    std::vector<png_color> plte;
};

// An indexed image may hold an index beyond its palette (a bitmap may); the
// PLTE is then padded with black entries up to the highest index used, so
// the file stays valid and shows those pixels black, as the image does.
PngLayout layoutOf(const Image& image, const std::string& path) {
    PngLayout layout;
    const PixelFormat f = image.format();
    if (!isIndexed(f)) return layout;
    const PixelFormatTraits t = traitsOf(f);
    layout.bitDepth = t.bitsPerPixel;
    layout.colorType = PNG_COLOR_TYPE_PALETTE;
    const std::uint32_t highest = *std::max_element(image.pixels().begin(), image.pixels().end());
    if (highest > t.allBits || image.palette().size() > t.maxPaletteEntries)
        throw ImageError(path + ": cannot write PNG: the image holds more colours than its pixel format allows");
    const std::size_t entries = std::max<std::size_t>(image.palette().entries().size(), highest + 1);
    for (std::size_t i = 0; i < entries; ++i) {
        const Color c = image.palette().colorAt(static_cast<std::uint32_t>(i));
        layout.plte.push_back({c.r, c.g, c.b});
    }
    return layout;
}

// One row in PNG order: indices packed from the highest bit down, or red,
// green and blue bytes (16-bit channels widened, a 32-bit pixel's fourth
// byte dropped).
void packRow(const Image& image, int y, int bitDepth, std::vector<png_byte>& out) {
    std::fill(out.begin(), out.end(), png_byte{0});
    const std::uint32_t* px = image.row(y);
    const PixelFormat f = image.format();
    for (int x = 0; x < image.width(); ++x) {
        const auto i = static_cast<std::size_t>(x);
        if (isIndexed(f)) {
            const int perByte = 8 / bitDepth;
            const int shift = 8 - bitDepth * (x % perByte + 1);
            out[i / static_cast<std::size_t>(perByte)] |= static_cast<png_byte>(px[x] << shift);
        } else {
            const Color c = colorOfDirect(f, px[x]);
            out[3 * i] = c.r;
            out[3 * i + 1] = c.g;
            out[3 * i + 2] = c.b;
        }
    }
}

// Everything one write touches, kept outside the function that calls
// setjmp so that a longjmp out of libpng skips no C++ destructor.
struct Encode {
    const Image* image = nullptr;
    const PngLayout* layout = nullptr;
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_byte> row;
    char error[160] = {};
    int writeErrno = 0;  // why the file refused bytes, when it did

    ~Encode() {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    Encode& e = *static_cast<Encode*>(png_get_error_ptr(png));
    std::snprintf(e.error, sizeof e.error, "%s", message ? message : "libpng error");
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void writeToFile(png_structp png, png_bytep data, std::size_t size) {
    Encode& e = *static_cast<Encode*>(png_get_io_ptr(png));
    errno = 0;
    if (std::fwrite(data, 1, size, e.file) != size) {
        e.writeErrno = errno ? errno : EIO;
        png_error(png, std::strerror(e.writeErrno));
    }
}

// Flushing is left to the file's own close, where its result is checked.
void noFlush(png_structp) {}

void applySettings(png_structp png, const PngWriteSettings& s) {
    if (s.filters != kPngLibraryDefault) png_set_filter(png, PNG_FILTER_TYPE_BASE, s.filters);
    if (s.compressionLevel != kPngLibraryDefault) png_set_compression_level(png, s.compressionLevel);
    if (s.strategy != kPngLibraryDefault) png_set_compression_strategy(png, s.strategy);
}

// Runs libpng into e.file. Returns false when libpng reports an error, whose
// text is then in e.error. Only plain values live in this frame.
bool encode(Encode& e) {
    e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &e, onError, onWarning);
    if (!e.png) throw std::bad_alloc();
    e.info = png_create_info_struct(e.png);
    if (!e.info) throw std::bad_alloc();
    if (setjmp(png_jmpbuf(e.png))) return false;

    const Image& image = *e.image;
    const PngLayout& layout = *e.layout;
    png_set_write_fn(e.png, &e, writeToFile, noFlush);
    applySettings(e.png, pngWriteSettingsFor(image.format()));
    png_set_IHDR(e.png, e.info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()),
                 layout.bitDepth, layout.colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    if (!layout.plte.empty())
        png_set_PLTE(e.png, e.info, layout.plte.data(), static_cast<int>(layout.plte.size()));
    png_write_info(e.png, e.info);
    for (int y = 0; y < image.height(); ++y) {
        packRow(image, y, layout.bitDepth, e.row);
        png_write_row(e.png, e.row.data());
    }
    png_write_end(e.png, nullptr);
    return true;
}

}  // namespace

void writePng(const Image& image, const std::string& path) {
    if (image.empty() || image.format() == PixelFormat::None)
        throw ImageError(path + ": cannot write an empty image as PNG");
    const PngLayout layout = layoutOf(image, path);

    ReplacingFile out(path);
    Encode e;
    e.image = &image;
    e.layout = &layout;
    e.file = out.stream();
    const std::size_t rowBits =
        static_cast<std::size_t>(image.width()) * (layout.colorType == PNG_COLOR_TYPE_PALETTE ? layout.bitDepth : 24);
    e.row.resize((rowBits + 7) / 8);
    if (!encode(e))
        throw ImageError(path + (e.writeErrno ? ": cannot write the file (" : ": cannot encode PNG (") + e.error + ")");
    out.commit();
}

}  // namespace chipshift
