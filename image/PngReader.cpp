#include "image/PngReader.h"

#include "image/ImageError.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace chipshift {

namespace {

// Text chunks and compressed profiles are the only chunks libpng allocates
// for; a sheet needs none of any size, so a damaged or hostile length never
// reaches the allocator.
constexpr png_alloc_size_t kMaxChunkBytes = 4u * 1024u * 1024u;

// Everything one decode touches. It lives in the caller's frame, outside the
// function that calls setjmp, so a longjmp out of libpng skips no C++
// destructor and leaves no object of that function in an undefined state.
struct Decode {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;

    png_structp png = nullptr;
    png_infop info = nullptr;
    const char* stage = "damaged PNG file";  // what was being read, for the message
    char error[160] = {};
    char warning[160] = {};  // libpng names the faulty IHDR field only in a warning

    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::None;
    std::vector<Color> palette;
    std::vector<std::uint32_t> pixels;
    std::vector<png_byte> rows;  // the whole raw picture, for interlaced files only
    std::vector<png_byte> row;   // one raw row otherwise

    ~Decode() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

Decode& decodeOf(png_structp png) { return *static_cast<Decode*>(png_get_error_ptr(png)); }

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    Decode& d = decodeOf(png);
    std::snprintf(d.error, sizeof d.error, "%s", message ? message : "libpng error");
    png_longjmp(png, 1);
}

// Warnings are about ancillary chunks that play no part in the picture; the
// last one is kept, since it says which header field an IHDR error is about.
void onWarning(png_structp png, png_const_charp message) {
    Decode& d = decodeOf(png);
    std::snprintf(d.warning, sizeof d.warning, "%s", message ? message : "");
}

void readFromMemory(png_structp png, png_bytep out, std::size_t count) {
    Decode& d = *static_cast<Decode*>(png_get_io_ptr(png));
    if (count > d.size - d.pos) png_error(png, "file ends early");
    std::memcpy(out, d.data + d.pos, count);
    d.pos += count;
}

// The evenly spaced grey ramp of 2^bits entries, black first and white last.
std::vector<Color> greyRamp(int bits) {
    const int n = 1 << bits;
    std::vector<Color> ramp(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto g = static_cast<std::uint8_t>(i * 255 / (n - 1));
        ramp[static_cast<std::size_t>(i)] = {g, g, g};
    }
    return ramp;
}

// Picks the image's format and palette from the header. Grey of 16 bits and
// grey with alpha become 8-bit indexed on the 256-grey ramp.
void chooseFormat(Decode& d, int colorType, int bitDepth) {
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        d.format = bitDepth == 1 ? PixelFormat::Indexed1
                 : bitDepth <= 4 ? PixelFormat::Indexed4
                                 : PixelFormat::Indexed8;
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(d.png, d.info, &entries, &count) == 0) count = 0;
        for (int i = 0; i < count; ++i) d.palette.push_back({entries[i].red, entries[i].green, entries[i].blue});
    } else if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        d.format = bitDepth == 1 ? PixelFormat::Indexed1 : PixelFormat::Indexed4;
        d.palette = greyRamp(bitDepth);
    } else if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        d.format = PixelFormat::Indexed8;
        d.palette = greyRamp(8);
    } else {
        d.format = PixelFormat::Rgb24;
    }
}

// Turns one raw row (samples of 1 to 8 bits unpacked to a byte each, 16-bit
// samples big-endian) into pixel values: the index or grey sample, or
// 0xRRGGBB. Of a 16-bit sample only the high byte counts, never rounded;
// alpha is skipped.
void convertRow(Decode& d, const png_byte* raw, std::uint32_t* out, int channels, int bitDepth) {
    const int step = bitDepth == 16 ? 2 : 1;
    const int stride = channels * step;
    const bool rgb = d.format == PixelFormat::Rgb24;
    for (int x = 0; x < d.width; ++x) {
        const png_byte* p = raw + static_cast<std::size_t>(x) * static_cast<std::size_t>(stride);
        out[x] = rgb ? (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[step]) << 8) | p[2 * step]
                     : p[0];
    }
}

// Runs libpng over the bytes. Returns false when libpng reports an error,
// whose text is then in d.error. Only plain values live in this frame.
bool decode(Decode& d) {
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &d, onError, onWarning);
    if (!d.png) throw std::bad_alloc();
    d.info = png_create_info_struct(d.png);
    if (!d.info) throw std::bad_alloc();
    if (setjmp(png_jmpbuf(d.png))) return false;

    png_set_read_fn(d.png, &d, readFromMemory);
    png_set_user_limits(d.png, kMaxImageSide, kMaxImageSide);
    png_set_chunk_malloc_max(d.png, kMaxChunkBytes);
    // An index beyond the PLTE is kept as it stands (it shows black); it is
    // no reason to refuse the picture.
    png_set_check_for_invalid_index(d.png, 0);

    d.stage = "damaged PNG file";
    png_read_info(d.png, d.info);
    png_uint_32 w = 0, h = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(d.png, d.info, &w, &h, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    if (w == 0 || h == 0 || w > png_uint_32(kMaxImageSide) || h > png_uint_32(kMaxImageSide))
        png_error(d.png, "image size out of range");
    d.width = static_cast<int>(w);
    d.height = static_cast<int>(h);
    chooseFormat(d, colorType, bitDepth);

    // The only transform: samples below 8 bits, one to a byte. No gamma,
    // background, tRNS or sBIT handling is asked for, so samples arrive as
    // stored.
    if (bitDepth < 8) png_set_packing(d.png);
    const int passes = png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    const std::size_t rowBytes = png_get_rowbytes(d.png, d.info);
    const int channels = png_get_channels(d.png, d.info);

    d.stage = "PNG image data is damaged or ends early";
    d.pixels.reserve(static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height));
    if (passes > 1) {
        d.rows.resize(rowBytes * static_cast<std::size_t>(d.height));
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < d.height; ++y)
                png_read_row(d.png, d.rows.data() + rowBytes * static_cast<std::size_t>(y), nullptr);
        d.pixels.resize(d.pixels.capacity());
        for (int y = 0; y < d.height; ++y)
            convertRow(d, d.rows.data() + rowBytes * static_cast<std::size_t>(y),
                       d.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(d.width),
                       channels, bitDepth);
    } else {
        // Row by row, so memory grows only with data that really decodes.
        d.row.resize(rowBytes);
        for (int y = 0; y < d.height; ++y) {
            png_read_row(d.png, d.row.data(), nullptr);
            const std::size_t at = d.pixels.size();
            d.pixels.resize(at + static_cast<std::size_t>(d.width));
            convertRow(d, d.row.data(), d.pixels.data() + at, channels, bitDepth);
        }
    }
    // The rest of the file too: a CRC error or a damaged critical chunk after
    // the image data makes the file as bad as one before it.
    d.stage = "damaged PNG file after the image data";
    png_read_end(d.png, nullptr);
    return true;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) throw ImageError(path + ": cannot open file (" + std::strerror(errno) + ")");
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        const std::size_t n = std::fread(chunk, 1, sizeof chunk, file.get());
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (n < sizeof chunk) break;
    }
    if (std::ferror(file.get())) throw ImageError(path + ": cannot read file (" + std::strerror(errno) + ")");
    return bytes;
}

// Every chunk must fit in the file: libpng allocates a chunk's declared
// length before it reads the chunk, so a few bytes claiming a 2 GiB text
// chunk would otherwise allocate 2 GiB. Checked before libpng sees a byte.
void checkChunkLengths(const std::uint8_t* data, std::size_t size, const std::string& path) {
    std::size_t at = 8;
    while (at + 8 <= size) {
        const std::uint32_t length = (std::uint32_t(data[at]) << 24) | (std::uint32_t(data[at + 1]) << 16) |
                                     (std::uint32_t(data[at + 2]) << 8) | data[at + 3];
        const std::string type(reinterpret_cast<const char*>(data + at + 4), 4);
        if (length > 0x7FFFFFFFu || length > size - at - 8)
            throw ImageError(path + ": PNG image data is damaged or ends early (chunk longer than the file)");
        if (type == "IEND") return;
        at += std::size_t{12} + length;
    }
}

}  // namespace

void readPngBytes(Image& image, const std::uint8_t* data, std::size_t size, const std::string& path) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0)
        throw ImageError(path + ": not a PNG file (no PNG signature)");
    checkChunkLengths(data, size, path);
    Decode d;
    d.data = data;
    d.size = size;
    if (!decode(d)) {
        std::string detail = d.error;
        if (detail == "Invalid IHDR data" && d.warning[0]) detail = std::string("invalid header: ") + d.warning;
        if (detail == "IEND: out of place") detail = "no image data";
        throw ImageError(path + ": " + d.stage + " (" + detail + ")");
    }
    image.assign(d.width, d.height, d.format, Palette(std::move(d.palette)), std::move(d.pixels));
}

void readPng(Image& image, const std::string& path) {
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    readPngBytes(image, bytes.data(), bytes.size(), path);
}

}  // namespace chipshift
