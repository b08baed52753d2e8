#include "tests/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    chipshift::fuzz::deflateInput(data, size);
    return 0;
}
