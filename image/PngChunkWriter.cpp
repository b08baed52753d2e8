#include "image/PngChunkWriter.h"

#include "image/ImageError.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>

namespace chipshift {

namespace {

void bigEndian(std::uint32_t v, std::uint8_t* out) {
    out[0] = static_cast<std::uint8_t>(v >> 24);
    out[1] = static_cast<std::uint8_t>(v >> 16);
    out[2] = static_cast<std::uint8_t>(v >> 8);
    out[3] = static_cast<std::uint8_t>(v);
}

}  // namespace

void PngChunkWriter::put(const void* bytes, std::size_t n) {
    errno = 0;
    if (n != 0 && std::fwrite(bytes, 1, n, file_) != n) {
        const int error = errno ? errno : EIO;
        throw ImageError(path_ + ": cannot write the file (" + std::strerror(error) + ")");
    }
}

void PngChunkWriter::signature() {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put(kSignature, sizeof kSignature);
}

void PngChunkWriter::chunk(const char* type, const std::uint8_t* data, std::size_t n) {
    std::uint8_t head[8];
    bigEndian(static_cast<std::uint32_t>(n), head);
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0, head + 4, 4);
    if (n != 0) crc = crc32(crc, data, static_cast<uInt>(n));
    std::uint8_t tail[4];
    bigEndian(static_cast<std::uint32_t>(crc), tail);
    put(head, sizeof head);
    put(data, n);
    put(tail, sizeof tail);
}

}  // namespace chipshift
