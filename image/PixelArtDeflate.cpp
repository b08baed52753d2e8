#include "image/PixelArtDeflate.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace chipshift {

using namespace flate;

namespace {

// New input taken in before the matcher runs over it, beside the window.
constexpr std::size_t kAhead = 128 * 1024;
// An empty hash entry, far beyond the window of the first 2 GB of a stream.
// Past that it may look near: every candidate is only a guess checked byte
// by byte, so that costs a compare, never a wrong match.
constexpr std::uint32_t kNowhere = 0x80000000u;
// A match at least this long is taken without looking one byte further.
constexpr int kLazyLength = 16;
// A three-byte match further back than this costs more than three literals.
constexpr int kTooFar = 4096;
constexpr std::size_t kBlockSymbols = 32 * 1024;
// Inside a run (a match one or two pixels back) longer than this only its
// first and last few positions enter the hash chains: flat areas and the
// all-zero repeated rows would otherwise crowd out of the short chains the
// earlier repeats worth finding. The inside of a match further back (a
// repeated row or tile) stays in: later rows and frames repeat it again.
constexpr int kSkipInsertAfter = 64;
constexpr std::size_t kInsertAtEnds = 3;

std::uint32_t load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// How many bytes from p equal those from q, up to max.
int matchLength(const std::uint8_t* p, const std::uint8_t* q, int max) {
    int n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (n + 8 <= max) {
            std::uint64_t a, b;
            std::memcpy(&a, p + n, 8);
            std::memcpy(&b, q + n, 8);
            if (a != b) return n + std::countr_zero(a ^ b) / 8;
            n += 8;
        }
    }
    while (n < max && p[n] == q[n]) ++n;
    return n;
}

}  // namespace

PixelArtDeflate::PixelArtDeflate(const PixelArtLayout& layout, DeflateSink& sink, int chainDepth)
    : sink_(sink), chainDepth_(chainDepth) {
    const std::size_t px = std::max<std::size_t>(layout.bytesPerPixel, 1);
    for (std::size_t d : {px, 2 * px, layout.rowBytes, 2 * layout.rowBytes, 32 * px, 64 * px})
        if (d != 0 && d <= kWindow) fixedDistances_.push_back(static_cast<int>(d));
    runDistance_ = static_cast<int>(2 * px);
    std::sort(fixedDistances_.begin(), fixedDistances_.end());
    fixedDistances_.erase(std::unique(fixedDistances_.begin(), fixedDistances_.end()), fixedDistances_.end());

    const std::size_t total = layout.totalBytes == 0 ? kWindow + kAhead : layout.totalBytes;
    buffer_.resize(std::clamp(total, kWindow + 16 * kMaxMatch, kWindow + kAhead));
    const int bits = std::clamp(static_cast<int>(std::bit_width(total)) - 1, 10, 15);
    hashShift_ = 32 - bits;
    head_.assign(std::size_t{1} << bits, kNowhere);
    // A short stream needs no longer chain table than itself.
    chain_.assign(std::min(kWindow, std::bit_ceil(std::max<std::size_t>(total, 1024))), kNowhere);
    chainMask_ = chain_.size() - 1;
    out_ = {0x78, 0x9C};  // deflate, 32 KB window, no dictionary
}

PixelArtDeflate::~PixelArtDeflate() = default;

void PixelArtDeflate::add(const std::uint8_t* data, std::size_t n) {
    while (n != 0) {
        if (fill_ == buffer_.size()) {
            compress(false);
            slide();
        }
        const std::size_t take = std::min(n, buffer_.size() - fill_);
        std::memcpy(buffer_.data() + fill_, data, take);
        adler_ = static_cast<std::uint32_t>(adler32(adler_, data, static_cast<uInt>(take)));
        fill_ += take;
        data += take;
        n -= take;
    }
}

void PixelArtDeflate::finish() {
    compress(true);
    flushBlock(true);
}

void PixelArtDeflate::insertUpTo(std::size_t at) {
    const std::uint8_t* b = buffer_.data();
    std::size_t p = inserted_;
    for (; p < at && p + 4 <= fill_; ++p) {
        const std::uint32_t h = (load32(b + p) * 2654435761u) >> hashShift_;
        const auto pos = static_cast<std::uint32_t>(base_ + p);
        chain_[pos & chainMask_] = head_[h];
        head_[h] = pos;
    }
    inserted_ = std::max(inserted_, p);
}

PixelArtDeflate::Match PixelArtDeflate::longestAt(std::size_t at, std::size_t end) const {
    Match best{kMinMatch - 1, 0};
    const int max = static_cast<int>(std::min<std::size_t>(kMaxMatch, end - at));
    if (max < kMinMatch) return {};
    const std::uint8_t* p = buffer_.data() + at;
    for (const int d : fixedDistances_) {
        if (static_cast<std::size_t>(d) > at) break;
        const std::uint8_t* q = p - d;
        if (q[best.length] != p[best.length]) continue;
        const int len = matchLength(p, q, max);
        if (len > best.length) {
            best = {len, d};
            if (len == max) return best;
        }
    }
    if (max >= 4) {
        const std::uint32_t h = (load32(p) * 2654435761u) >> hashShift_;
        // Positions count modulo 2^32; a distance never shrinks along a
        // chain, and a stale or empty entry lies beyond the window.
        const auto pos = static_cast<std::uint32_t>(base_ + at);
        const std::size_t reach = std::min(kWindow, at);
        std::uint32_t dist = pos - head_[h];
        for (int depth = chainDepth_; dist != 0 && dist <= reach && depth > 0; --depth) {
            const std::uint8_t* q = p - dist;
            if (q[best.length] == p[best.length] && load32(q) == load32(p)) {
                const int len = matchLength(p, q, max);
                if (len > best.length) {
                    best = {len, static_cast<int>(dist)};
                    if (len == max) break;
                }
            }
            const std::uint32_t further = pos - chain_[(pos - dist) & chainMask_];
            if (further <= dist) break;
            dist = further;
        }
    }
    if (best.dist == 0 || (best.length == kMinMatch && best.dist > kTooFar)) return {};
    return best;
}

void PixelArtDeflate::compress(bool final) {
    const std::size_t end = fill_;
    const std::size_t limit = final ? end : end > std::size_t{kMaxMatch} ? end - kMaxMatch : 0;
    const std::uint8_t* b = buffer_.data();
    std::size_t i = next_;
    while (i < limit) {
        insertUpTo(i);
        Match m = longestAt(i, end);
        if (m.length == 0) {
            block_.literal(b[i++]);
        } else {
            // One byte later may start a longer match: then this byte goes
            // out as a literal.
            while (m.length < kLazyLength && i + 1 < limit) {
                insertUpTo(i + 1);
                const Match later = longestAt(i + 1, end);
                if (later.length <= m.length) break;
                block_.literal(b[i++]);
                m = later;
            }
            block_.match(m.length, m.dist);
            if (m.length > kSkipInsertAfter && m.dist <= runDistance_) {
                insertUpTo(i + kInsertAtEnds);
                inserted_ = std::max(inserted_, i + static_cast<std::size_t>(m.length) - kInsertAtEnds);
            }
            i += static_cast<std::size_t>(m.length);
        }
        if (block_.size() >= kBlockSymbols) flushBlock(false);
    }
    next_ = std::max(next_, i);
}

void PixelArtDeflate::slide() {
    const std::size_t shift = next_ > kWindow ? next_ - kWindow : 0;
    if (shift == 0) return;
    std::memmove(buffer_.data(), buffer_.data() + shift, fill_ - shift);
    base_ += shift;
    fill_ -= shift;
    next_ -= shift;
    inserted_ -= std::min(inserted_, shift);
}

void PixelArtDeflate::flushBlock(bool final) {
    block_.writeTo(out_, bits_, bitCount_, final);
    if (final) {
        if (bitCount_ > 0) out_.push_back(static_cast<std::uint8_t>(bits_));
        bits_ = 0;
        bitCount_ = 0;
        for (int shift = 24; shift >= 0; shift -= 8) out_.push_back(static_cast<std::uint8_t>(adler_ >> shift));
    }
    sink_.write(out_.data(), out_.size());
    out_.clear();
}

namespace {

class VectorSink : public DeflateSink {
public:
    explicit VectorSink(std::vector<std::uint8_t>& out) : out_(out) {}
    void write(const std::uint8_t* data, std::size_t n) override { out_.insert(out_.end(), data, data + n); }

private:
    std::vector<std::uint8_t>& out_;
};

}  // namespace

std::vector<std::uint8_t> pixelArtCompress(const std::uint8_t* data, std::size_t n, const PixelArtLayout& layout,
                                           int chainDepth) {
    std::vector<std::uint8_t> out;
    VectorSink sink(out);
    PixelArtLayout l = layout;
    if (l.totalBytes == 0) l.totalBytes = n;
    PixelArtDeflate encoder(l, sink, chainDepth);
    encoder.add(data, n);
    encoder.finish();
    return out;
}

}  // namespace chipshift
