// Reading and checking the headers of a Windows bitmap: file header, one of
// the info header variants, colour masks and colour table. Every size taken
// from the file is checked against the file's length before it is used, in
// 64-bit arithmetic, so a damaged header gives a clear error and never an
// out-of-bounds read or a huge allocation.

#include "image/BmpFormat.h"

#include "image/Image.h"
#include "image/ImageError.h"

#include <algorithm>

namespace chipshift::bmp {

namespace {

constexpr std::uint64_t kFileHeaderBytes = 14;

enum Compression : std::uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitfields = 3,
    kAlphaBitfields = 6,
};

// The info header variants. The 64-byte one is the later OS/2 header: its
// first 40 bytes match the Windows header, but it has no colour masks and its
// compression values from 3 on mean other codings.
enum class HeaderKind { Core, Info, InfoWithMasks, Os2 };

HeaderKind kindOfHeader(std::uint64_t size, const std::string& path) {
    switch (size) {
        case 12: return HeaderKind::Core;
        case 40: return HeaderKind::Info;
        case 52:    // with red, green and blue masks
        case 56:    // and an alpha mask
        case 108:   // colour space fields follow
        case 124:   // and an ICC profile reference
            return HeaderKind::InfoWithMasks;
        case 64: return HeaderKind::Os2;
    }
    fail(path, "unsupported bitmap header size " + std::to_string(size));
}

struct Masks {
    std::uint32_t red = 0, green = 0, blue = 0;
    bool operator==(const Masks&) const = default;
};

PixelFormat sixteenBitFormat(const Masks& m, const std::string& path) {
    if (m == Masks{0x7C00, 0x03E0, 0x001F}) return PixelFormat::Rgb555;
    if (m == Masks{0xF800, 0x07E0, 0x001F}) return PixelFormat::Rgb565;
    fail(path, "unsupported 16-bit colour masks (only 5-5-5 and 5-6-5 are read)");
}

PixelFormat thirtyTwoBitFormat(const Masks& m, const std::string& path) {
    if (m == Masks{0x00FF0000, 0x0000FF00, 0x000000FF}) return PixelFormat::Rgb32;
    fail(path, "unsupported 32-bit colour masks (only 8-8-8 in the usual order is read)");
}

PixelFormat uncompressedFormat(int bitsPerPixel, const std::string& path) {
    switch (bitsPerPixel) {
        case 1: return PixelFormat::Indexed1;
        case 4: return PixelFormat::Indexed4;
        case 8: return PixelFormat::Indexed8;
        case 16: return PixelFormat::Rgb555;
        case 24: return PixelFormat::Rgb24;
        case 32: return PixelFormat::Rgb32;
    }
    fail(path, "unsupported bit depth " + std::to_string(bitsPerPixel));
}

std::string depthMismatch(const char* coding, int needed, int found) {
    return std::string(coding) + " needs " + std::to_string(needed) + " bits per pixel, the file has " +
           std::to_string(found);
}

}  // namespace

void fail(const std::string& path, const std::string& what) {
    throw ImageError("cannot read Windows bitmap " + path + ": " + what);
}

Layout parseHeaders(const std::uint8_t* data, std::size_t size, const std::string& path) {
    if (size < 2 || data[0] != 'B' || data[1] != 'M') fail(path, "the file does not begin with \"BM\"");
    if (size < kFileHeaderBytes + 4) fail(path, "file header cut short");

    const std::uint64_t pixelOffset = le32(data + 10);
    const std::uint64_t headerSize = le32(data + 14);
    const HeaderKind kind = kindOfHeader(headerSize, path);
    const std::uint64_t headerEnd = kFileHeaderBytes + headerSize;
    if (headerEnd > size) fail(path, "bitmap header cut short");
    const std::uint8_t* h = data + kFileHeaderBytes;

    std::int64_t width = 0, height = 0;
    int bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
    std::uint64_t coloursUsed = 0;
    if (kind == HeaderKind::Core) {
        // The older header has unsigned 16-bit sizes and always stores rows
        // bottom-up.
        width = le16(h + 4);
        height = le16(h + 6);
        bitsPerPixel = static_cast<int>(le16(h + 10));
    } else {
        width = static_cast<std::int32_t>(le32(h + 4));
        height = static_cast<std::int32_t>(le32(h + 8));
        bitsPerPixel = static_cast<int>(le16(h + 14));
        compression = le32(h + 16);
        coloursUsed = le32(h + 32);
    }

    Layout layout;
    layout.topDown = height < 0;
    if (height < 0) height = -height;  // 64-bit, so even INT32_MIN negates safely
    if (width <= 0 || height == 0)
        fail(path, "invalid size " + std::to_string(width) + " x " + std::to_string(height));
    if (width > kMaxImageSide || height > kMaxImageSide)
        fail(path, "size " + std::to_string(width) + " x " + std::to_string(height) + " exceeds the limit of " +
                       std::to_string(kMaxImageSide) + " pixels a side");
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    layout.bitsPerPixel = bitsPerPixel;

    // Where the colour masks or the colour table begin: after the header,
    // unless masks follow a 40-byte header.
    std::uint64_t afterMasks = headerEnd;
    const bool os2Coding = kind == HeaderKind::Os2 && compression >= kBitfields;
    if (compression == kRgb) {
        layout.format = uncompressedFormat(bitsPerPixel, path);
    } else if (compression == kRle8) {
        if (bitsPerPixel != 8) fail(path, depthMismatch("RLE8 compression", 8, bitsPerPixel));
        layout.format = PixelFormat::Indexed8;
        layout.encoding = Encoding::Rle8;
    } else if (compression == kRle4) {
        if (bitsPerPixel != 4) fail(path, depthMismatch("RLE4 compression", 4, bitsPerPixel));
        layout.format = PixelFormat::Indexed4;
        layout.encoding = Encoding::Rle4;
    } else if ((compression == kBitfields || compression == kAlphaBitfields) && !os2Coding) {
        if (bitsPerPixel != 16 && bitsPerPixel != 32)
            fail(path, "colour masks with " + std::to_string(bitsPerPixel) + " bits per pixel");
        const std::uint8_t* m = h + 40;
        if (kind == HeaderKind::Info) {
            const std::uint64_t maskBytes = compression == kAlphaBitfields ? 16 : 12;
            afterMasks = headerEnd + maskBytes;
            if (afterMasks > size) fail(path, "colour masks cut short");
            m = data + headerEnd;
        }
        const Masks masks{le32(m), le32(m + 4), le32(m + 8)};
        layout.format = bitsPerPixel == 16 ? sixteenBitFormat(masks, path) : thirtyTwoBitFormat(masks, path);
    } else {
        fail(path, "unsupported compression " + std::to_string(compression));
    }

    if (isIndexed(layout.format)) {
        // The table holds the entries in use, or all that the depth allows
        // when the header says 0; a count beyond that is clamped.
        const std::uint64_t most = std::uint64_t{1} << bitsPerPixel;
        std::uint64_t entries = coloursUsed == 0 ? most : std::min(coloursUsed, most);
        const std::uint64_t entryBytes = kind == HeaderKind::Core ? 3 : 4;
        // The older header gives no count: the table is full size, but some
        // writers store a shorter one and let the pixel data follow it.
        if (kind == HeaderKind::Core && pixelOffset >= afterMasks && pixelOffset < afterMasks + most * entryBytes)
            entries = (pixelOffset - afterMasks) / entryBytes;
        if (afterMasks + entries * entryBytes > size) fail(path, "colour table cut short");
        std::vector<Color> colours;
        colours.reserve(entries);
        for (std::uint64_t i = 0; i < entries; ++i) {
            const std::uint8_t* e = data + afterMasks + i * entryBytes;
            colours.push_back(Color{e[2], e[1], e[0]});
        }
        layout.palette = Palette(std::move(colours));
    }

    if (pixelOffset < headerEnd)
        fail(path, "pixel data offset " + std::to_string(pixelOffset) + " points into the headers");
    if (pixelOffset > size)
        fail(path, "pixel data offset " + std::to_string(pixelOffset) + " lies beyond the end of the file");
    layout.pixelOffset = pixelOffset;
    return layout;
}

}  // namespace chipshift::bmp
