#include "tests/support/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace chipshift::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "chipshift-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Give back write permission that a test may have taken away, so the
    // folder can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add |
                                         std::filesystem::perm_options::nofollow, ec);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

namespace {
void put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
}  // namespace

std::vector<std::uint8_t> encodeBmp(const Image& image) {
    const PixelFormatTraits t = traitsOf(image.format());
    const int bpp = t.bitsPerPixel;
    const bool fields565 = image.format() == PixelFormat::Rgb565;
    const int w = image.width(), h = image.height();
    const std::uint32_t rowBytes = ((static_cast<std::uint32_t>(w) * bpp + 31) / 32) * 4;
    const std::uint32_t colours = t.indexed ? static_cast<std::uint32_t>(image.palette().size()) : 0;
    const std::uint32_t headerBytes = 14 + 40 + (fields565 ? 12 : 0) + colours * 4;
    std::vector<std::uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, headerBytes + rowBytes * h);
    put32(b, 0);
    put32(b, headerBytes);
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(w));
    put32(b, static_cast<std::uint32_t>(h));
    put16(b, 1);
    put16(b, static_cast<unsigned>(bpp));
    put32(b, fields565 ? 3 : 0);
    put32(b, rowBytes * h);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, colours);
    put32(b, 0);
    if (fields565) {
        put32(b, 0xF800);
        put32(b, 0x07E0);
        put32(b, 0x001F);
    }
    for (const Color& c : image.palette().entries()) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = image.pixel(x, y);
            switch (bpp) {
                case 1: row[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8)); break;
                case 4: row[x / 2] |= static_cast<std::uint8_t>((v & 15) << (x % 2 ? 0 : 4)); break;
                case 8: row[x] = static_cast<std::uint8_t>(v); break;
                case 16:
                    row[2 * x] = static_cast<std::uint8_t>(v);
                    row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
                    break;
                case 24:
                    row[3 * x] = static_cast<std::uint8_t>(v);
                    row[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
                    row[3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
                    break;
                case 32:
                    for (int k = 0; k < 4; ++k) row[4 * x + k] = static_cast<std::uint8_t>(v >> (8 * k));
                    break;
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void writeBmp(const Image& image, const std::string& path) { writeFile(path, encodeBmp(image)); }

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

Palette rampPalette(int n, int seed) {
    std::vector<Color> entries;
    for (int i = 0; i < n; ++i) {
        const int v = i + seed * 7;
        entries.push_back({static_cast<std::uint8_t>((v * 37) % 251), static_cast<std::uint8_t>((v * 91 + 13) % 241),
                           static_cast<std::uint8_t>(i)});
    }
    return Palette(std::move(entries));
}

}  // namespace chipshift::test
