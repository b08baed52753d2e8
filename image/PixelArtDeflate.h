#pragma once
// A zlib stream (deflate with dynamic Huffman blocks, adler32 at the end)
// made for the PNG rows of pixel-doubled sheets. Besides a short hash chain,
// the matcher tries the distances where such rows repeat: one and two pixels
// to the left (a doubled pixel, a flat run), one and two rows up (a repeated
// row is all zeros after filter Up and repeats the one two rows above; an
// unfiltered row is often like the last unfiltered one) and one and two
// doubled tiles to the left. Any input compresses correctly; only the
// ratio depends on the layout.

#include "image/DeflateBlocks.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace chipshift {

// Receives the compressed stream in pieces.
class DeflateSink {
public:
    virtual ~DeflateSink() = default;
    virtual void write(const std::uint8_t* data, std::size_t n) = 0;
};

struct PixelArtLayout {
    std::size_t rowBytes = 0;       // one row, its filter byte included
    std::size_t bytesPerPixel = 1;  // 3 for RGB rows, 1 for indexed ones
    std::size_t totalBytes = 0;     // all rows; only sizes the tables
};

// How many earlier positions of equal hash are tried after the fixed
// distances: the size of the files against the time taken (bench/README.md).
constexpr int kPixelArtChainDepth = 64;

class PixelArtDeflate {
public:
    PixelArtDeflate(const PixelArtLayout& layout, DeflateSink& sink, int chainDepth = kPixelArtChainDepth);
    ~PixelArtDeflate();
    PixelArtDeflate(const PixelArtDeflate&) = delete;
    PixelArtDeflate& operator=(const PixelArtDeflate&) = delete;

    void add(const std::uint8_t* data, std::size_t n);
    // Ends the stream; nothing may be added after.
    void finish();

private:
    struct Match {
        int length = 0;
        int dist = 0;
    };

    void compress(bool final);
    Match longestAt(std::size_t at, std::size_t end) const;
    void insertUpTo(std::size_t at);
    void slide();
    void flushBlock(bool final);

    DeflateSink& sink_;
    int chainDepth_;
    std::vector<int> fixedDistances_;
    int runDistance_ = 0;  // a match this close is a run of one colour
    // Input: the last kWindow bytes already coded, then the bytes to code.
    // base_ is the stream position of buffer_[0].
    std::vector<std::uint8_t> buffer_;
    std::size_t fill_ = 0, next_ = 0, inserted_ = 0, base_ = 0;
    // Hash chains over four bytes, of stream positions modulo 2^32.
    int hashShift_ = 0;
    std::vector<std::uint32_t> head_;
    std::vector<std::uint32_t> chain_;
    std::size_t chainMask_ = 0;
    flate::SymbolBlock block_;
    std::vector<std::uint8_t> out_;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
    std::uint32_t adler_ = 1;
};

// The whole zlib stream of data at once.
std::vector<std::uint8_t> pixelArtCompress(const std::uint8_t* data, std::size_t n, const PixelArtLayout& layout,
                                           int chainDepth = kPixelArtChainDepth);

}  // namespace chipshift
