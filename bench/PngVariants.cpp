#include "bench/PngVariants.h"

#include "image/PixelArtDeflate.h"

#include <png.h>
#include <zlib.h>
#ifdef CHIPSHIFT_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace chipshift::bench {

namespace {

struct Layout {
    int bitDepth = 8;
    int colorType = 2;
    std::vector<std::uint8_t> plte;  // r, g, b triples
    std::size_t rowBytes = 0;
    int bpp = 3;  // bytes per complete pixel for the filters (at least 1)
};

Layout layoutOf(const Image& image) {
    Layout l;
    const PixelFormat f = image.format();
    if (isIndexed(f)) {
        l.bitDepth = traitsOf(f).bitsPerPixel;
        l.colorType = 3;
        l.bpp = 1;
        const std::uint32_t highest = *std::max_element(image.pixels().begin(), image.pixels().end());
        const std::size_t entries = std::max<std::size_t>(image.palette().entries().size(), highest + 1);
        for (std::size_t i = 0; i < entries; ++i) {
            const Color c = image.palette().colorAt(static_cast<std::uint32_t>(i));
            l.plte.insert(l.plte.end(), {c.r, c.g, c.b});
        }
        l.rowBytes = (static_cast<std::size_t>(image.width()) * l.bitDepth + 7) / 8;
    } else {
        l.rowBytes = static_cast<std::size_t>(image.width()) * 3;
    }
    return l;
}

void packRow(const Image& image, int y, const Layout& l, std::uint8_t* out) {
    const std::uint32_t* px = image.row(y);
    const PixelFormat f = image.format();
    const int w = image.width();
    if (l.colorType == 3 && l.bitDepth == 8) {
        for (int x = 0; x < w; ++x) out[x] = static_cast<std::uint8_t>(px[x]);
    } else if (l.colorType == 3) {
        std::memset(out, 0, l.rowBytes);
        const int perByte = 8 / l.bitDepth;
        for (int x = 0; x < w; ++x)
            out[x / perByte] |= static_cast<std::uint8_t>(px[x] << (8 - l.bitDepth * (x % perByte + 1)));
    } else {
        for (int x = 0; x < w; ++x) {
            const Color c = colorOfDirect(f, px[x]);
            out[3 * x] = c.r;
            out[3 * x + 1] = c.g;
            out[3 * x + 2] = c.b;
        }
    }
}

// ---- libpng ------------------------------------------------------------

void appendData(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}
void flushNothing(png_structp) {}
[[noreturn]] void onError(png_structp, png_const_charp message) { throw std::runtime_error(message); }
void onWarning(png_structp, png_const_charp) {}

std::vector<std::uint8_t> encodeLibpng(const Image& image, const Variant& v) {
    const Layout l = layoutOf(image);
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> row(l.rowBytes);
    png_set_write_fn(png, &out, appendData, flushNothing);
    if (v.filters >= 0) png_set_filter(png, PNG_FILTER_TYPE_BASE, v.filters);
    if (v.level >= 0) png_set_compression_level(png, v.level);
    if (v.strategy >= 0) png_set_compression_strategy(png, v.strategy);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()),
                 l.bitDepth, l.colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (!l.plte.empty())
        png_set_PLTE(png, info, reinterpret_cast<png_colorp>(const_cast<std::uint8_t*>(l.plte.data())),
                     static_cast<int>(l.plte.size() / 3));
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y) {
        packRow(image, y, l, row.data());
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// ---- own chunk writer -----------------------------------------------------

std::uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Filters row (with prev the unfiltered row above, zeros for the first) by
// type t into out[0..n) after the type byte.
void filterRow(int t, const std::uint8_t* row, const std::uint8_t* prev, std::size_t n, int bpp, std::uint8_t* out) {
    for (std::size_t i = 0; i < n; ++i) {
        const int a = i >= static_cast<std::size_t>(bpp) ? row[i - bpp] : 0;
        const int b = prev[i];
        const int c = i >= static_cast<std::size_t>(bpp) ? prev[i - bpp] : 0;
        int pred = 0;
        switch (t) {
            case 1: pred = a; break;
            case 2: pred = b; break;
            case 3: pred = (a + b) / 2; break;
            case 4: pred = paeth(a, b, c); break;
            default: break;
        }
        out[i] = static_cast<std::uint8_t>(row[i] - pred);
    }
}

unsigned long sumAbs(const std::uint8_t* p, std::size_t n) {
    unsigned long s = 0;
    for (std::size_t i = 0; i < n; ++i) s += p[i] < 128 ? p[i] : 256 - p[i];
    return s;
}

// Up-for-repeats without any filter arithmetic: each row is packed straight
// into place; a row equal to the one above becomes filter Up, all zeros.
std::vector<std::uint8_t> filteredUpWhenAlike(const Image& image, const Layout& l, int alike) {
    const std::size_t n = l.rowBytes;
    const std::size_t needed = (n * static_cast<std::size_t>(alike) + 999) / 1000;
    std::vector<std::uint8_t> out((n + 1) * static_cast<std::size_t>(image.height()));
    std::vector<std::uint8_t> prev(n), cur(n);
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* dst = out.data() + (n + 1) * static_cast<std::size_t>(y);
        packRow(image, y, l, cur.data());
        std::size_t same = 0;
        if (y > 0)
            for (std::size_t i = 0; i < n; ++i) same += cur[i] == prev[i];
        if (y > 0 && same >= needed) {
            dst[0] = 2;
            for (std::size_t i = 0; i < n; ++i) dst[1 + i] = static_cast<std::uint8_t>(cur[i] - prev[i]);
        } else {
            dst[0] = 0;
            std::memcpy(dst + 1, cur.data(), n);
        }
        std::swap(prev, cur);
    }
    return out;
}

std::vector<std::uint8_t> filteredUpForRepeats(const Image& image, const Layout& l) {
    const std::size_t n = l.rowBytes;
    std::vector<std::uint8_t> out((n + 1) * static_cast<std::size_t>(image.height()));
    std::vector<std::uint8_t> prev(n), cur(n);
    for (int y = 0; y < image.height(); ++y) {
        std::uint8_t* dst = out.data() + (n + 1) * static_cast<std::size_t>(y);
        packRow(image, y, l, cur.data());
        if (y > 0 && std::memcmp(cur.data(), prev.data(), n) == 0) {
            dst[0] = 2;
            std::memset(dst + 1, 0, n);
        } else {
            dst[0] = 0;
            std::memcpy(dst + 1, cur.data(), n);
            std::swap(prev, cur);
        }
    }
    return out;
}

std::vector<std::uint8_t> filtered(const Image& image, const Layout& l, RowRule rule, int alike) {
    if (rule == RowRule::UpForRepeats) return filteredUpForRepeats(image, l);
    if (rule == RowRule::UpWhenAlike) return filteredUpWhenAlike(image, l, alike);
    const std::size_t n = l.rowBytes;
    std::vector<std::uint8_t> out((n + 1) * static_cast<std::size_t>(image.height()));
    std::vector<std::uint8_t> prev(n, 0), cur(n), trial(n);
    for (int y = 0; y < image.height(); ++y) {
        packRow(image, y, l, cur.data());
        std::uint8_t* dst = out.data() + (n + 1) * static_cast<std::size_t>(y);
        int t = 0;
        switch (rule) {
            case RowRule::None: t = 0; break;
            case RowRule::Sub: t = 1; break;
            case RowRule::Up: t = 2; break;
            case RowRule::Average: t = 3; break;
            case RowRule::Paeth: t = 4; break;
            case RowRule::UpWhenAlike:
            case RowRule::UpForRepeats:
            case RowRule::UpForRepeatsSub: {
                const bool repeat = y > 0 && std::memcmp(cur.data(), prev.data(), n) == 0;
                t = repeat ? 2 : rule == RowRule::UpForRepeats ? 0 : 1;
                break;
            }
            case RowRule::Adaptive: {
                unsigned long best = ~0ul;
                for (int k = 0; k < 5; ++k) {
                    filterRow(k, cur.data(), prev.data(), n, l.bpp, trial.data());
                    const unsigned long s = sumAbs(trial.data(), n);
                    if (s < best) best = s, t = k;
                }
                break;
            }
        }
        dst[0] = static_cast<std::uint8_t>(t);
        filterRow(t, cur.data(), prev.data(), n, l.bpp, dst + 1);
        std::swap(prev, cur);
    }
    return out;
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.insert(b.end(), {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                       static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
}

void chunk(std::vector<std::uint8_t>& b, const char* type, const std::uint8_t* data, std::size_t n) {
    put32(b, static_cast<std::uint32_t>(n));
    const std::size_t start = b.size();
    b.insert(b.end(), type, type + 4);
    if (n) b.insert(b.end(), data, data + n);
    put32(b, static_cast<std::uint32_t>(crc32(0, b.data() + start, static_cast<uInt>(b.size() - start))));
}

std::vector<std::uint8_t> deflateZlib(const std::vector<std::uint8_t>& raw, const Variant& v) {
    z_stream z{};
    if (deflateInit2(&z, v.level, Z_DEFLATED, 15, 9, v.strategy < 0 ? Z_DEFAULT_STRATEGY : v.strategy) != Z_OK)
        throw std::runtime_error("deflateInit2");
    if (v.chain > 0) deflateTune(&z, v.good, v.lazy, v.nice, v.chain);
    std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(raw.size())));
    z.next_in = const_cast<Bytef*>(raw.data());
    z.avail_in = static_cast<uInt>(raw.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::vector<std::uint8_t> deflateLibdeflate([[maybe_unused]] const std::vector<std::uint8_t>& raw,
                                            [[maybe_unused]] int level) {
#ifdef CHIPSHIFT_HAVE_LIBDEFLATE
    libdeflate_compressor* c = libdeflate_alloc_compressor(level);
    if (!c) throw std::runtime_error("libdeflate_alloc_compressor");
    std::vector<std::uint8_t> out(libdeflate_zlib_compress_bound(c, raw.size()));
    const std::size_t n = libdeflate_zlib_compress(c, raw.data(), raw.size(), out.data(), out.size());
    libdeflate_free_compressor(c);
    if (n == 0) throw std::runtime_error("libdeflate_zlib_compress");
    out.resize(n);
    return out;
#else
    throw std::runtime_error("built without libdeflate");
#endif
}

std::vector<std::uint8_t> encodeChunks(const Image& image, const Variant& v) {
    const Layout l = layoutOf(image);
    const std::vector<std::uint8_t> raw = filtered(image, l, v.rule, v.alike);
    const std::vector<std::uint8_t> idat =
        v.encoder == Encoder::ChunkLibdeflate ? deflateLibdeflate(raw, v.level)
        : v.encoder == Encoder::ChunkPixelArt
            ? pixelArtCompress(raw.data(), raw.size(),
                               {l.rowBytes + 1, static_cast<std::size_t>(l.colorType == 3 ? 1 : 3), raw.size()},
                               v.chain > 0 ? v.chain : kPixelArtChainDepth)
            : deflateZlib(raw, v);
    std::vector<std::uint8_t> b{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    put32(ihdr, static_cast<std::uint32_t>(image.width()));
    put32(ihdr, static_cast<std::uint32_t>(image.height()));
    ihdr.insert(ihdr.end(), {static_cast<std::uint8_t>(l.bitDepth), static_cast<std::uint8_t>(l.colorType), 0, 0, 0});
    chunk(b, "IHDR", ihdr.data(), ihdr.size());
    if (!l.plte.empty()) chunk(b, "PLTE", l.plte.data(), l.plte.size());
    chunk(b, "IDAT", idat.data(), idat.size());
    chunk(b, "IEND", nullptr, 0);
    return b;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Image& image, const Variant& variant) {
    return variant.encoder == Encoder::Libpng ? encodeLibpng(image, variant) : encodeChunks(image, variant);
}

}  // namespace chipshift::bench
