#include "image/HeapSettings.h"

#include <malloc.h>

namespace chipshift {

void keepReleasedMemoryInHeap() {
    ::mallopt(M_MMAP_THRESHOLD, 16 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 64 << 20);
}

}  // namespace chipshift
