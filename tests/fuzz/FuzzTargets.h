#pragma once
// The two fuzzed entry points, shared by the libFuzzer programs and by the
// regression test that replays every saved input in the normal test run.

#include <cstddef>
#include <cstdint>

namespace chipshift::fuzz {

// The first byte picks the extension (".png" or ".bmp"), the rest is the
// file's content, loaded by extension from a real file.
void loadByExtensionInput(const std::uint8_t* data, std::size_t size);

// A whole single-file run of either program: the input holds a template and
// a source, each either raw fuzzed bytes or a well-formed bitmap whose size,
// format and pixels come from the input, so that conversions really run.
void conversionInput(const std::uint8_t* data, std::size_t size);

// The writer's deflate encoder on arbitrary bytes: the first bytes choose the
// row layout and the chain depth, the rest is compressed, inflated by zlib
// and compared.
void deflateInput(const std::uint8_t* data, std::size_t size);

}  // namespace chipshift::fuzz
