// The whole map-chip conversion: eighteen outputs in a fixed order.

#include "mapchip/MapChipConverter.h"

#include "image/OutputName.h"
#include "image/PngWriter.h"
#include "mapchip/Steps.h"

namespace chipshift::mapchip {

const std::vector<std::string>& outputSuffixes() {
    static const std::vector<std::string> suffixes{
        ".png",                                                    // tileset sheet
        "_Auto00.png", "_Auto01.png", "_Auto02.png",               // water autotiles
        "_Auto03.png", "_Auto04.png", "_Auto05.png", "_Auto06.png",  // terrain autotiles
        "_Auto07.png", "_Auto08.png", "_Auto09.png", "_Auto10.png",
        "_Auto11.png", "_Auto12.png", "_Auto13.png",
        "_Anime0.png", "_Anime1.png", "_Anime2.png",               // animation strips
    };
    return suffixes;
}

void OutputPlace::write(const Image& image, const std::string& suffix) const {
    writePng(image, outputName(targetFolder, sourcePath, suffix));
}

void ConvertSheet(const Image& source, Image& firstWork, Image& secondWork,
                  const std::string& targetFolder, const std::string& sourcePath,
                  const Template& templ) {
    const OutputPlace out{targetFolder, sourcePath};

    writeTilesetSheet(source, firstWork, templ, out);

    // The strip image is loaded from the template once for all three water
    // autotiles; every frame reloads the frame image itself.
    templ.loadInto(secondWork);
    firstWork.setHeight(128);
    firstWork.setWidth(96);
    writeWaterAutotiles(source, firstWork, secondWork, templ, out);

    // The last water frame leaves the first work image at 96 x 128, the size
    // of a terrain autotile; these reuse it without a template load.
    writeTerrainAutotiles(source, firstWork, out);
    writeAnimationStrips(source, firstWork, out);
}

}  // namespace chipshift::mapchip
