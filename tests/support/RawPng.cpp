#include "tests/support/RawPng.h"

#include <gtest/gtest.h>

#include <csetjmp>

namespace chipshift::test {

RawPng::~RawPng() {
    if (png) png_destroy_read_struct(&png, &info, nullptr);
    if (file) std::fclose(file);
}

namespace {

// Only plain values in this frame, so the longjmp of a libpng error is safe.
bool readRawInto(RawPng& raw) {
    raw.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    raw.info = png_create_info_struct(raw.png);
    if (setjmp(png_jmpbuf(raw.png))) return false;
    png_init_io(raw.png, raw.file);
    png_read_info(raw.png, raw.info);
    png_get_IHDR(raw.png, raw.info, &raw.width, &raw.height, &raw.bitDepth, &raw.colorType, &raw.interlace, nullptr,
                 nullptr);
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(raw.png, raw.info, &entries, &count))
        for (int i = 0; i < count; ++i) raw.plte.push_back({entries[i].red, entries[i].green, entries[i].blue});
    raw.hasTrns = png_get_valid(raw.png, raw.info, PNG_INFO_tRNS) != 0;
    raw.rows.assign(raw.height, std::vector<std::uint8_t>(png_get_rowbytes(raw.png, raw.info)));
    for (auto& r : raw.rows) png_read_row(raw.png, r.data(), nullptr);
    png_read_end(raw.png, raw.info);
    return true;
}

}  // namespace

void readRaw(const std::string& path, RawPng& raw) {
    raw.file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(raw.file, nullptr) << path;
    ASSERT_TRUE(readRawInto(raw)) << "libpng refused " << path;
}

}  // namespace chipshift::test
