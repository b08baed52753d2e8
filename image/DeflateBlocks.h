#pragma once
// The entropy half of a deflate encoder: the literals and matches of one
// block written as a dynamic-Huffman deflate block (length-limited codes,
// code lengths sent run-length coded). The matcher that finds the matches
// lives in PixelArtDeflate.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace chipshift::flate {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr std::size_t kWindow = 32768;
constexpr int kLitLenCodes = 286;
constexpr int kDistCodes = 30;

// A literal (dist 0, value the byte) or a match of `value` bytes `dist`
// bytes back (1..32768).
struct Symbol {
    std::uint16_t value;
    std::uint16_t dist;
};

// The literal/length code of a match length (3..258): 257..285.
int lengthCode(int length);
// The distance code of a distance (1..32768): 0..29.
int distCode(int dist);

// Symbols gathered for one block, with the frequencies of their codes.
class SymbolBlock {
public:
    SymbolBlock();
    void literal(std::uint8_t byte) {
        symbols_.push_back({byte, 0});
        ++litLen_[byte];
    }
    void match(int length, int dist) {
        symbols_.push_back({static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(dist)});
        ++litLen_[lengthCode(length)];
        ++dist_[distCode(dist)];
    }
    std::size_t size() const { return symbols_.size(); }

    // Appends the block to out and empties this one. bits holds the bits of
    // an unfinished last byte (bitCount of them, 0..7) on entry and on exit.
    void writeTo(std::vector<std::uint8_t>& out, std::uint32_t& bits, int& bitCount, bool final);

private:
    void clear();

    std::vector<Symbol> symbols_;
    std::uint32_t litLen_[kLitLenCodes];
    std::uint32_t dist_[kDistCodes];
};

// Code lengths (at most maxBits) for symbols of the given frequencies; a
// symbol of frequency 0 gets length 0. With at least two symbols in use the
// code is complete, as inflaters require.
void huffmanLengths(const std::uint32_t* freq, int n, int maxBits, std::uint8_t* lengths);

}  // namespace chipshift::flate
