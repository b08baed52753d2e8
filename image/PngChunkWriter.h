#pragma once
// Writes the pieces of a PNG file to an open stream: the signature and
// chunks of length, type, data and CRC.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace chipshift {

class PngChunkWriter {
public:
    // path only names the file in messages.
    PngChunkWriter(std::FILE* file, const std::string& path) : file_(file), path_(path) {}

    void signature();
    // A chunk of n bytes of data (type is four letters). A failed write
    // throws ImageError naming the path.
    void chunk(const char* type, const std::uint8_t* data, std::size_t n);

private:
    void put(const void* bytes, std::size_t n);

    std::FILE* file_;
    const std::string& path_;
};

}  // namespace chipshift
