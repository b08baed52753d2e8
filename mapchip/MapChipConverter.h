#pragma once
// The map-chip converter: a 480 x 256 chipset into the tileset sheet, three
// water autotiles, eleven terrain autotiles and three animation strips.

#include "image/Image.h"
#include "image/Template.h"

#include <string>
#include <vector>

namespace chipshift::mapchip {

constexpr int kSheetWidth = 480;
constexpr int kSheetHeight = 256;

// The eighteen suffixes in the order the outputs are written.
const std::vector<std::string>& outputSuffixes();

void ConvertSheet(const Image& source, Image& firstWork, Image& secondWork,
                  const std::string& targetFolder, const std::string& sourcePath,
                  const Template& templ);

}  // namespace chipshift::mapchip
