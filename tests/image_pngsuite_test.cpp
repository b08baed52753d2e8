// Decoding of the PNG conformance suite: every file that should decode gives
// the reference size, format, palette and colours; every damaged file fails
// and leaves the image as it was.

#include "image/ImageError.h"
#include "image/LoadByExtension.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <sstream>

namespace chipshift {
namespace {

const std::string kSuiteDir = CHIPSHIFT_SHARED_DIR "/corpora/pngsuite";

struct SuiteRow {
    std::string file;  // empty when the corpus is not there
    bool ok = false;
    int width = 0, height = 0;
    std::string format;
    int paletteEntries = 0;
};

void PrintTo(const SuiteRow& row, std::ostream* os) { *os << (row.file.empty() ? "(no corpus)" : row.file); }

std::vector<SuiteRow> loadManifest() {
    std::ifstream in(kSuiteDir + "/MANIFEST.tsv");
    if (!in) return {SuiteRow{}};
    std::vector<SuiteRow> rows;
    std::string line;
    std::getline(in, line);  // column header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        SuiteRow r;
        std::string outcome, w, h, entries;
        fields >> r.file >> outcome >> w >> h >> r.format >> entries;
        r.ok = outcome == "ok";
        if (r.ok) {
            r.width = std::stoi(w);
            r.height = std::stoi(h);
            r.paletteEntries = entries == "-" ? 0 : std::stoi(entries);
        }
        rows.push_back(r);
    }
    return rows;
}

PixelFormat formatNamed(const std::string& name) {
    if (name == "indexed1") return PixelFormat::Indexed1;
    if (name == "indexed4") return PixelFormat::Indexed4;
    if (name == "indexed8") return PixelFormat::Indexed8;
    if (name == "rgb24") return PixelFormat::Rgb24;
    return PixelFormat::None;
}

struct Ppm {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

Ppm readPpm(const std::string& path) {
    const std::vector<std::uint8_t> bytes = test::readFile(path);
    Ppm p;
    int consumed = 0;
    const std::string head(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 32));
    if (std::sscanf(head.c_str(), "P6\n%d %d\n255\n%n", &p.width, &p.height, &consumed) != 2 || consumed == 0)
        return {};
    p.rgb.assign(bytes.begin() + consumed, bytes.end());
    return p;
}

std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) | (std::uint32_t(b[at + 2]) << 8) | b[at + 3];
}

// The colour type in IHDR and the PLTE entries, read straight from the file.
struct RawChunks {
    int colorType = -1;
    std::vector<Color> plte;
};

RawChunks rawChunks(const std::string& path) {
    const std::vector<std::uint8_t> b = test::readFile(path);
    RawChunks out;
    for (std::size_t at = 8; at + 12 <= b.size();) {
        const std::uint32_t length = be32(b, at);
        const std::string type(b.begin() + static_cast<std::ptrdiff_t>(at) + 4, b.begin() + static_cast<std::ptrdiff_t>(at) + 8);
        const std::size_t data = at + 8;
        if (data + length > b.size()) break;
        if (type == "IHDR") out.colorType = b[data + 9];
        if (type == "PLTE")
            for (std::size_t i = 0; i + 2 < length; i += 3) out.plte.push_back({b[data + i], b[data + i + 1], b[data + i + 2]});
        at = data + length + 4;
    }
    return out;
}

class PngSuite : public ::testing::TestWithParam<SuiteRow> {};

TEST_P(PngSuite, DecodesAsReferenceOrFails) {
    const SuiteRow& row = GetParam();
    if (row.file.empty()) GTEST_SKIP() << "PNG conformance corpus not found at " << kSuiteDir;
    const std::string path = kSuiteDir + "/" + row.file;

    if (!row.ok) {
        const Image before = test::makeImage(3, 2, PixelFormat::Rgb24, {}, [](int x, int y) { return test::distinctRgb(x, y, 1); });
        Image image = before;
        try {
            loadByExtension(image, path);
            FAIL() << "a damaged file decoded";
        } catch (const ImageError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_EQ(image.width(), 3);
        EXPECT_EQ(image.format(), PixelFormat::Rgb24);
        EXPECT_EQ(image.pixels(), before.pixels());
        return;
    }

    Image image;
    loadByExtension(image, path);
    ASSERT_EQ(image.width(), row.width);
    ASSERT_EQ(image.height(), row.height);
    ASSERT_EQ(image.format(), formatNamed(row.format));
    EXPECT_EQ(image.palette().size(), row.paletteEntries);

    // Palette order: a palette file's own PLTE, or the evenly spaced greys.
    const RawChunks chunks = rawChunks(path);
    if (chunks.colorType == 3) {
        EXPECT_EQ(image.palette().entries(), chunks.plte);
    } else if (isIndexed(image.format())) {
        const int n = image.palette().size();
        for (int i = 0; i < n; ++i) {
            const auto g = static_cast<std::uint8_t>(i * 255 / (n - 1));
            ASSERT_EQ(image.palette().colorAt(i), (Color{g, g, g})) << "grey entry " << i;
        }
    }

    const Ppm ref = readPpm(path + ".ppm");
    ASSERT_EQ(ref.width, row.width);
    ASSERT_EQ(ref.rgb.size(), std::size_t(row.width) * row.height * 3);
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const std::uint8_t* p = &ref.rgb[(std::size_t(y) * image.width() + x) * 3];
            const Color want{p[0], p[1], p[2]};
            if (image.colorAt(x, y) != want && ++wrong <= 3)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") differs from the reference";
        }
    EXPECT_EQ(wrong, 0);
}

std::string caseName(const ::testing::TestParamInfo<SuiteRow>& info) {
    if (info.param.file.empty()) return "corpus_not_found";
    std::string name = info.param.file.substr(0, info.param.file.find('.'));
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, PngSuite, ::testing::ValuesIn(loadManifest()), caseName);

}  // namespace
}  // namespace chipshift
