#include "image/PngWriter.h"

#include "image/ImageError.h"
#include "image/PngChunkWriter.h"
#include "image/PngSettings.h"
#include "image/PixelArtDeflate.h"
#include "image/ReplacingFile.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace chipshift {

namespace {

constexpr int kColourTypeRgb = 2;
constexpr int kColourTypePalette = 3;
constexpr std::uint8_t kFilterNone = 0;
constexpr std::uint8_t kFilterUp = 2;
// Compressed data goes out in IDAT chunks of at most this size.
constexpr std::size_t kIdatChunkBytes = 64 * 1024;

// The PNG layout of one image: bit depth, colour type, the PLTE entries and
// the bytes of one packed row.
struct PngLayout {
    int bitDepth = 8;
    int colorType = kColourTypeRgb;
    std::vector<std::uint8_t> plte;  // red, green, blue of each entry
    std::size_t rowBytes = 0;
};

// An indexed image may hold an index beyond its palette (a bitmap may); the
// PLTE is then padded with black entries up to the highest index used, so
// the file stays valid and shows those pixels black, as the image does.
PngLayout layoutOf(const Image& image, const std::string& path) {
    PngLayout layout;
    const PixelFormat f = image.format();
    const auto width = static_cast<std::size_t>(image.width());
    if (!isIndexed(f)) {
        layout.rowBytes = 3 * width;
        return layout;
    }
    const PixelFormatTraits t = traitsOf(f);
    layout.bitDepth = t.bitsPerPixel;
    layout.colorType = kColourTypePalette;
    layout.rowBytes = (width * static_cast<std::size_t>(t.bitsPerPixel) + 7) / 8;
    const std::uint32_t highest = *std::max_element(image.pixels().begin(), image.pixels().end());
    if (highest > t.allBits || image.palette().size() > t.maxPaletteEntries)
        throw ImageError(path + ": cannot write PNG: the image holds more colours than its pixel format allows");
    const std::size_t entries = std::max<std::size_t>(image.palette().entries().size(), highest + 1);
    layout.plte.reserve(3 * entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const Color c = image.palette().colorAt(static_cast<std::uint32_t>(i));
        layout.plte.insert(layout.plte.end(), {c.r, c.g, c.b});
    }
    return layout;
}

// One row in PNG order: indices packed from the highest bit down, or red,
// green and blue bytes (16-bit channels widened, a 32-bit pixel's fourth
// byte dropped). The format is decided once per row, not per pixel.
void packRow(const Image& image, int y, int bitDepth, std::uint8_t* out) {
    const std::uint32_t* px = image.row(y);
    const int w = image.width();
    switch (image.format()) {
        case PixelFormat::Indexed8:
            for (int x = 0; x < w; ++x) out[x] = static_cast<std::uint8_t>(px[x]);
            break;
        case PixelFormat::Indexed1:
        case PixelFormat::Indexed4: {
            const int perByte = 8 / bitDepth;
            std::memset(out, 0, (static_cast<std::size_t>(w) + static_cast<std::size_t>(perByte) - 1) / perByte);
            for (int x = 0; x < w; ++x)
                out[x / perByte] |= static_cast<std::uint8_t>(px[x] << (8 - bitDepth * (x % perByte + 1)));
            break;
        }
        case PixelFormat::Rgb24:
        case PixelFormat::Rgb32:
            for (int x = 0; x < w; ++x) {
                out[3 * x] = static_cast<std::uint8_t>(px[x] >> 16);
                out[3 * x + 1] = static_cast<std::uint8_t>(px[x] >> 8);
                out[3 * x + 2] = static_cast<std::uint8_t>(px[x]);
            }
            break;
        default:  // 16-bit formats
            for (int x = 0; x < w; ++x) {
                const Color c = colorOfDirect(image.format(), px[x]);
                out[3 * x] = c.r;
                out[3 * x + 1] = c.g;
                out[3 * x + 2] = c.b;
            }
            break;
    }
}

// Compressed bytes gathered into IDAT chunks of kIdatChunkBytes.
class IdatChunks : public DeflateSink {
public:
    explicit IdatChunks(PngChunkWriter& out) : out_(out) { buffer_.reserve(kIdatChunkBytes); }
    void write(const std::uint8_t* data, std::size_t n) override {
        while (n != 0) {
            const std::size_t take = std::min(n, kIdatChunkBytes - buffer_.size());
            buffer_.insert(buffer_.end(), data, data + take);
            data += take;
            n -= take;
            if (buffer_.size() == kIdatChunkBytes) emit();
        }
    }
    void finish() {
        if (!buffer_.empty()) emit();
    }

private:
    void emit() {
        out_.chunk("IDAT", buffer_.data(), buffer_.size());
        buffer_.clear();
    }

    PngChunkWriter& out_;
    std::vector<std::uint8_t> buffer_;
};

// zlib's compressor for one IDAT stream.
class ZlibStream {
public:
    ZlibStream(DeflateSink& out, const PngWriteSettings& s, const std::string& path)
        : out_(out), path_(path), buffer_(kIdatChunkBytes) {
        if (deflateInit2(&z_, s.level, Z_DEFLATED, 15, 9, Z_DEFAULT_STRATEGY) != Z_OK) fail();
        open_ = true;
        const DeflateTuning& t = s.tuning;
        if (deflateTune(&z_, t.goodLength, t.lazyLength, t.niceLength, t.chainLength) != Z_OK) fail();
        z_.next_out = buffer_.data();
        z_.avail_out = static_cast<uInt>(buffer_.size());
    }
    ~ZlibStream() {
        if (open_) deflateEnd(&z_);
    }
    ZlibStream(const ZlibStream&) = delete;
    ZlibStream& operator=(const ZlibStream&) = delete;

    void add(const std::uint8_t* data, std::size_t n) {
        z_.next_in = const_cast<Bytef*>(data);
        z_.avail_in = static_cast<uInt>(n);
        while (z_.avail_in != 0) {
            if (deflate(&z_, Z_NO_FLUSH) != Z_OK) fail();
            if (z_.avail_out == 0) emit();
        }
    }

    void finish() {
        for (;;) {
            const int status = deflate(&z_, Z_FINISH);
            if (status != Z_OK && status != Z_STREAM_END) fail();
            if (status == Z_STREAM_END) break;
            if (z_.avail_out == 0) emit();
        }
        if (z_.avail_out != buffer_.size()) emit();
    }

private:
    void emit() {
        out_.write(buffer_.data(), buffer_.size() - z_.avail_out);
        z_.next_out = buffer_.data();
        z_.avail_out = static_cast<uInt>(buffer_.size());
    }
    [[noreturn]] void fail() { throw ImageError(path_ + ": cannot write PNG file (the compressor failed)"); }

    DeflateSink& out_;
    const std::string& path_;
    std::vector<std::uint8_t> buffer_;
    z_stream z_{};
    bool open_ = false;
};

void bigEndian(std::uint32_t v, std::uint8_t* out) {
    out[0] = static_cast<std::uint8_t>(v >> 24);
    out[1] = static_cast<std::uint8_t>(v >> 16);
    out[2] = static_cast<std::uint8_t>(v >> 8);
    out[3] = static_cast<std::uint8_t>(v);
}

void writeHeader(PngChunkWriter& out, const Image& image, const PngLayout& layout) {
    std::uint8_t ihdr[13] = {};
    bigEndian(static_cast<std::uint32_t>(image.width()), ihdr);
    bigEndian(static_cast<std::uint32_t>(image.height()), ihdr + 4);
    ihdr[8] = static_cast<std::uint8_t>(layout.bitDepth);
    ihdr[9] = static_cast<std::uint8_t>(layout.colorType);
    // compression 0 (deflate), filter method 0, interlace 0 (none)
    out.signature();
    out.chunk("IHDR", ihdr, sizeof ihdr);
    if (!layout.plte.empty()) out.chunk("PLTE", layout.plte.data(), layout.plte.size());
}

// The rows, each with its filter type byte in front. Two row buffers take
// turns; a row equal to the one above goes out as a ready row of zeros with
// filter Up, and the row above stays the one to compare with.
template <typename Compressor>
void writeRows(Compressor& idat, const Image& image, const PngLayout& layout, RowFilterRule rule) {
    const std::size_t n = layout.rowBytes;
    std::vector<std::uint8_t> current(n + 1), previous(n + 1), repeat(n + 1, 0);
    repeat[0] = kFilterUp;
    for (int y = 0; y < image.height(); ++y) {
        packRow(image, y, layout.bitDepth, current.data() + 1);
        if (rule == RowFilterRule::UpForRepeatedRows && y > 0 &&
            std::memcmp(current.data() + 1, previous.data() + 1, n) == 0) {
            idat.add(repeat.data(), repeat.size());
            continue;
        }
        current[0] = kFilterNone;
        idat.add(current.data(), current.size());
        std::swap(current, previous);
    }
}

}  // namespace

void writePng(const Image& image, const std::string& path) {
    if (image.empty() || image.format() == PixelFormat::None)
        throw ImageError(path + ": cannot write an empty image as PNG");
    const PngLayout layout = layoutOf(image, path);
    const PngWriteSettings settings = pngWriteSettingsFor(image.format());

    ReplacingFile file(path);
    PngChunkWriter out(file.stream(), path);
    writeHeader(out, image, layout);
    IdatChunks chunks(out);
    if (settings.deflater == Deflater::PixelArt) {
        const std::size_t rowBytes = layout.rowBytes + 1;
        PixelArtDeflate idat({rowBytes, isIndexed(image.format()) ? 1u : 3u,
                              rowBytes * static_cast<std::size_t>(image.height())},
                             chunks);
        writeRows(idat, image, layout, settings.rows);
        idat.finish();
    } else {
        ZlibStream idat(chunks, settings, path);
        writeRows(idat, image, layout, settings.rows);
        idat.finish();
    }
    chunks.finish();
    out.chunk("IEND", nullptr, 0);
    file.commit();
}

}  // namespace chipshift
