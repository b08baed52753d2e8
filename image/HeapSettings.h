#pragma once

namespace chipshift {

// Keeps released memory in the heap instead of handing it back to the
// system. Every output is built on images of the same few sizes, allocated
// and released over and over (the template is read afresh at every load);
// taking the memory back from the system each time costs a page fault per
// page. The heap's high-water mark stays at a few megabytes.
void keepReleasedMemoryInHeap();

}  // namespace chipshift
