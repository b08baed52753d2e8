#pragma once
// A seam for tests that inject faults between the writes of a conversion:
// the hook runs with the output's path just before each output file is
// opened. Production code never sets it.

#include <functional>
#include <string>

namespace chipshift {

using BeforeWriteHook = std::function<void(const std::string& path)>;

// Sets (or, with an empty function, clears) the hook; returns the old one.
BeforeWriteHook setBeforeWriteHook(BeforeWriteHook hook);
void runBeforeWriteHook(const std::string& path);

}  // namespace chipshift
