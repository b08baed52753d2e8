#pragma once
// The character-sheet converter: a 288 x 256 sheet of eight characters into
// eight 192 x 256 character sheets.

#include "image/Image.h"
#include "image/Template.h"

#include <string>
#include <vector>

namespace chipshift::charchip {

constexpr int kSheetWidth = 288;
constexpr int kSheetHeight = 256;

// The eight suffixes "_00.png" ... "_31.png" in the order the outputs are written.
const std::vector<std::string>& outputSuffixes();

void ConvertSheet(const Image& source, Image& firstWork, Image& secondWork,
                  const std::string& targetFolder, const std::string& sourcePath,
                  const Template& templ);

}  // namespace chipshift::charchip
