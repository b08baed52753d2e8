#pragma once
// The steps of one map-chip conversion, called in order by ConvertSheet.

#include "image/Image.h"
#include "image/Template.h"

#include <string>

namespace chipshift::mapchip {

// Where the outputs of one conversion go: the target folder and the source
// path whose base name every output name starts with.
struct OutputPlace {
    const std::string& targetFolder;
    const std::string& sourcePath;
    void write(const Image& image, const std::string& suffix) const;
};

// The tileset sheet, built in the first work image on a fresh template load.
void writeTilesetSheet(const Image& source, Image& sheet, const Template& templ,
                       const OutputPlace& out);

// The three water autotiles: frames built in the frame image (first work
// image), drawn three by three into the strip image (second work image),
// which the caller has loaded from the template once before.
void writeWaterAutotiles(const Image& source, Image& frame, Image& strip, const Template& templ,
                         const OutputPlace& out);

// The eleven terrain autotiles, in the first work image as the last water
// frame leaves it (96 x 128).
void writeTerrainAutotiles(const Image& source, Image& work, const OutputPlace& out);

// The three animation strips, in the first work image made 128 x 32.
void writeAnimationStrips(const Image& source, Image& work, const OutputPlace& out);

}  // namespace chipshift::mapchip
