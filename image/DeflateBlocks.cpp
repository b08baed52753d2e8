#include "image/DeflateBlocks.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace chipshift::flate {

namespace {

constexpr int kCodeLengthCodes = 19;
constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodeLengthBits = 7;
constexpr int kEndOfBlock = 256;

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                         33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which the code-length code's lengths are sent.
constexpr std::uint8_t kCodeLengthOrder[kCodeLengthCodes] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                             11, 4,  12, 3, 13, 2, 14, 1, 15};

struct CodeTables {
    std::array<std::uint8_t, kMaxMatch + 1> lengthCode{};  // code - 257
    // Distances up to 256 by dist - 1, longer ones by 256 + (dist - 1) / 128.
    std::array<std::uint8_t, 512> distCode{};
    CodeTables() {
        for (int c = 0; c < 29; ++c) {
            const int end = c == 28 ? kMaxMatch + 1 : kLengthBase[c + 1];
            for (int len = kLengthBase[c]; len < end; ++len) lengthCode[len] = static_cast<std::uint8_t>(c);
        }
        lengthCode[kMaxMatch] = 28;  // 258 has its own code, not 227 + 31
        for (int c = 0; c < 30; ++c) {
            const int end = c == 29 ? 32769 : kDistBase[c + 1];
            for (int d = kDistBase[c]; d < end; ++d) {
                if (d <= 256) distCode[d - 1] = static_cast<std::uint8_t>(c);
                else distCode[256 + ((d - 1) >> 7)] = static_cast<std::uint8_t>(c);
            }
        }
    }
};

const CodeTables kTables;

// Bits leave least significant first, as deflate packs them.
class BitPacker {
public:
    BitPacker(std::uint8_t* at, std::uint32_t bits, int count) : at_(at), acc_(bits), count_(count) {}
    void put(std::uint32_t value, int n) {
        acc_ |= static_cast<std::uint64_t>(value) << count_;
        count_ += n;
        if (count_ >= 32) {
            for (int i = 0; i < 4; ++i) at_[i] = static_cast<std::uint8_t>(acc_ >> (8 * i));
            at_ += 4;
            acc_ >>= 32;
            count_ -= 32;
        }
    }
    // Writes the whole bytes; the rest (0..7 bits) stays for the caller.
    std::uint8_t* flushBytes(std::uint32_t& bits, int& count) {
        while (count_ >= 8) {
            *at_++ = static_cast<std::uint8_t>(acc_);
            acc_ >>= 8;
            count_ -= 8;
        }
        bits = static_cast<std::uint32_t>(acc_);
        count = count_;
        return at_;
    }

private:
    std::uint8_t* at_;
    std::uint64_t acc_;
    int count_;
};

// Canonical codes of the given lengths, bit-reversed for LSB-first output.
void canonicalCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes) {
    int count[kMaxCodeBits + 1] = {};
    for (int i = 0; i < n; ++i) ++count[lengths[i]];
    count[0] = 0;
    int next[kMaxCodeBits + 2] = {};
    for (int len = 1, code = 0; len <= kMaxCodeBits; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    for (int i = 0; i < n; ++i) {
        const int len = lengths[i];
        if (len == 0) continue;
        unsigned code = static_cast<unsigned>(next[len]++), reversed = 0;
        for (int b = 0; b < len; ++b, code >>= 1) reversed = (reversed << 1) | (code & 1);
        codes[i] = static_cast<std::uint16_t>(reversed);
    }
}

// At least two symbols in use, so that every code built is complete.
void atLeastTwoUsed(std::uint32_t* freq, int n) {
    int used = 0;
    for (int i = 0; i < n; ++i) used += freq[i] != 0;
    for (int i = 0; i < n && used < 2; ++i)
        if (freq[i] == 0) freq[i] = 1, ++used;
}

// One entry of the run-length coded code lengths: a length 0..15, or 16
// (repeat the previous 3..6 times), 17 (3..10 zeros), 18 (11..138 zeros).
struct LengthRun {
    std::uint8_t symbol;
    std::uint8_t extra;
};

void runLengthCode(const std::uint8_t* lengths, int n, std::vector<LengthRun>& runs) {
    for (int i = 0; i < n;) {
        const std::uint8_t v = lengths[i];
        int run = 1;
        while (i + run < n && lengths[i + run] == v) ++run;
        i += run;
        if (v == 0) {
            while (run >= 11) {
                const int r = std::min(run, 138);
                runs.push_back({18, static_cast<std::uint8_t>(r - 11)});
                run -= r;
            }
            if (run >= 3) {
                runs.push_back({17, static_cast<std::uint8_t>(run - 3)});
                run = 0;
            }
        } else {
            runs.push_back({v, 0});
            --run;
            while (run >= 3) {
                const int r = std::min(run, 6);
                runs.push_back({16, static_cast<std::uint8_t>(r - 3)});
                run -= r;
            }
        }
        for (; run > 0; --run) runs.push_back({v, 0});
    }
}

}  // namespace

int lengthCode(int length) { return 257 + kTables.lengthCode[static_cast<std::size_t>(length)]; }

int distCode(int dist) {
    const int d = dist - 1;
    return kTables.distCode[static_cast<std::size_t>(d < 256 ? d : 256 + (d >> 7))];
}

void huffmanLengths(const std::uint32_t* freq, int n, int maxBits, std::uint8_t* lengths) {
    std::fill(lengths, lengths + n, std::uint8_t{0});
    // Symbols by rising frequency (ties by symbol), packed in one key.
    std::uint64_t order[kLitLenCodes];
    int m = 0;
    for (int i = 0; i < n; ++i)
        if (freq[i] != 0) order[m++] = static_cast<std::uint64_t>(freq[i]) << 9 | static_cast<std::uint64_t>(i);
    if (m == 0) return;
    if (m == 1) {
        lengths[order[0] & 511] = 1;
        return;
    }
    std::sort(order, order + m);
    // Huffman's tree by two queues: the leaves in order, then the inner
    // nodes, which are made in order of rising weight.
    std::uint64_t weight[2 * kLitLenCodes];
    int parent[2 * kLitLenCodes];
    for (int k = 0; k < m; ++k) weight[k] = order[k] >> 9;
    int leaf = 0, inner = m;
    auto smallest = [&](int made) { return leaf < m && (inner >= made || weight[leaf] <= weight[inner]) ? leaf++ : inner++; };
    for (int made = m; made < 2 * m - 1; ++made) {
        const int a = smallest(made);
        const int b = smallest(made);
        weight[made] = weight[a] + weight[b];
        parent[a] = parent[b] = made;
    }
    int depth[2 * kLitLenCodes];
    depth[2 * m - 2] = 0;
    int count[kMaxCodeBits + 1] = {};
    for (int k = 2 * m - 3; k >= 0; --k) {
        depth[k] = depth[parent[k]] + 1;
        if (k < m) ++count[std::min(depth[k], maxBits)];
    }
    // Codes cut down to maxBits overfill the code space; lengthen shorter
    // codes until it fits again.
    std::uint32_t total = 0;
    for (int len = 1; len <= maxBits; ++len) total += static_cast<std::uint32_t>(count[len]) << (maxBits - len);
    while (total > (1u << maxBits)) {
        --count[maxBits];
        for (int len = maxBits - 1; len > 0; --len)
            if (count[len] != 0) {
                --count[len];
                count[len + 1] += 2;
                break;
            }
        --total;
    }
    // The longest codes to the rarest symbols.
    int k = 0;
    for (int len = maxBits; len > 0; --len)
        for (int c = 0; c < count[len]; ++c) lengths[order[k++] & 511] = static_cast<std::uint8_t>(len);
}

SymbolBlock::SymbolBlock() { clear(); }

void SymbolBlock::clear() {
    symbols_.clear();
    std::memset(litLen_, 0, sizeof litLen_);
    std::memset(dist_, 0, sizeof dist_);
}

void SymbolBlock::writeTo(std::vector<std::uint8_t>& out, std::uint32_t& bits, int& bitCount, bool final) {
    litLen_[kEndOfBlock] = 1;
    atLeastTwoUsed(litLen_, kLitLenCodes);
    atLeastTwoUsed(dist_, kDistCodes);

    // Literal/length and distance lengths side by side, as they are sent.
    std::uint8_t lengths[kLitLenCodes + kDistCodes];
    std::uint8_t* distLengths = lengths + kLitLenCodes;
    huffmanLengths(litLen_, kLitLenCodes, kMaxCodeBits, lengths);
    huffmanLengths(dist_, kDistCodes, kMaxCodeBits, distLengths);
    int hlit = kLitLenCodes, hdist = kDistCodes;
    while (lengths[hlit - 1] == 0) --hlit;
    while (hdist > 1 && distLengths[hdist - 1] == 0) --hdist;
    std::uint8_t sent[kLitLenCodes + kDistCodes];
    std::memcpy(sent, lengths, static_cast<std::size_t>(hlit));
    std::memcpy(sent + hlit, distLengths, static_cast<std::size_t>(hdist));
    std::vector<LengthRun> runs;
    runs.reserve(static_cast<std::size_t>(hlit + hdist));
    runLengthCode(sent, hlit + hdist, runs);

    std::uint32_t clFreq[kCodeLengthCodes] = {};
    for (const LengthRun& r : runs) ++clFreq[r.symbol];
    atLeastTwoUsed(clFreq, kCodeLengthCodes);
    std::uint8_t clLengths[kCodeLengthCodes];
    huffmanLengths(clFreq, kCodeLengthCodes, kMaxCodeLengthBits, clLengths);
    std::uint16_t clCodes[kCodeLengthCodes] = {};
    canonicalCodes(clLengths, kCodeLengthCodes, clCodes);
    int hclen = kCodeLengthCodes;
    while (hclen > 4 && clLengths[kCodeLengthOrder[hclen - 1]] == 0) --hclen;

    std::uint16_t litCodes[kLitLenCodes] = {}, distCodes[kDistCodes] = {};
    canonicalCodes(lengths, kLitLenCodes, litCodes);
    canonicalCodes(distLengths, kDistCodes, distCodes);

    // At most 48 bits a symbol, and the header well within 1 KB.
    const std::size_t start = out.size();
    out.resize(start + symbols_.size() * 6 + 1024);
    BitPacker p(out.data() + start, bits, bitCount);
    p.put(final ? 1 : 0, 1);
    p.put(2, 2);  // dynamic Huffman codes
    p.put(static_cast<std::uint32_t>(hlit - 257), 5);
    p.put(static_cast<std::uint32_t>(hdist - 1), 5);
    p.put(static_cast<std::uint32_t>(hclen - 4), 4);
    for (int i = 0; i < hclen; ++i) p.put(clLengths[kCodeLengthOrder[i]], 3);
    for (const LengthRun& r : runs) {
        p.put(clCodes[r.symbol], clLengths[r.symbol]);
        if (r.symbol == 16) p.put(r.extra, 2);
        else if (r.symbol == 17) p.put(r.extra, 3);
        else if (r.symbol == 18) p.put(r.extra, 7);
    }
    for (const Symbol& s : symbols_) {
        if (s.dist == 0) {
            p.put(litCodes[s.value], lengths[s.value]);
            continue;
        }
        const int lc = kTables.lengthCode[s.value];
        p.put(litCodes[257 + lc], lengths[257 + lc]);
        p.put(static_cast<std::uint32_t>(s.value - kLengthBase[lc]), kLengthExtra[lc]);
        const int dc = distCode(s.dist);
        p.put(distCodes[dc], distLengths[dc]);
        p.put(static_cast<std::uint32_t>(s.dist - kDistBase[dc]), kDistExtra[dc]);
    }
    p.put(litCodes[kEndOfBlock], lengths[kEndOfBlock]);
    const std::uint8_t* end = p.flushBytes(bits, bitCount);
    out.resize(static_cast<std::size_t>(end - out.data()));
    clear();
}

}  // namespace chipshift::flate
