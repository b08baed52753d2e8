// Writes the default template: a 24-bit, 256 x 256, all-white Windows bitmap.
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {
void put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<std::uint8_t>& b, unsigned v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_template OUTPUT.bmp\n");
        return 2;
    }
    const unsigned side = 256, rowBytes = side * 3, dataBytes = rowBytes * side;
    std::vector<std::uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, 54 + dataBytes);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, side);
    put32(b, side);
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, dataBytes);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    b.resize(b.size() + dataBytes, 0xFF);
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(b.data(), 1, b.size(), f) != b.size() || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
