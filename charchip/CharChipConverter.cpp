// The character-sheet converter: each 72 x 128 character block, doubled in
// the scratch image, becomes one 192 x 256 sheet with its direction rows in
// the order down, left, right, up and its standing frame in frame columns 0
// and 2.

#include "charchip/CharChipConverter.h"

#include "image/OutputName.h"
#include "image/PngWriter.h"
#include "image/Rect.h"
#include "image/RegionCopy.h"

#include <array>

namespace chipshift::charchip {
namespace {

constexpr int kBlockWidth = 72;
constexpr int kBlockHeight = 128;
constexpr int kDoubledWidth = 144;
constexpr int kDoubledHeight = 256;
constexpr int kOutputWidth = 192;
constexpr int kOutputHeight = 256;

enum class Picture { Source, Scratch, Sheet };

// A source rectangle is relative to the character block's top-left corner.
struct CharCopy {
    Picture from;
    Rect fromRect;
    Picture to;
    Rect toRect;
};

constexpr Picture kSource = Picture::Source;
constexpr Picture kScratch = Picture::Scratch;
constexpr Picture kSheet = Picture::Sheet;

constexpr std::array<CharCopy, 6> kCopies{{
    {kSource, {0, 0, 72, 128}, kScratch, {0, 0, 144, 256}},    // the block, doubled
    {kScratch, {0, 128, 144, 256}, kSheet, {48, 0, 192, 128}},  // rows 2, 3 (down, left) -> rows 0, 1
    {kScratch, {0, 64, 144, 128}, kSheet, {48, 128, 192, 192}}, // row 1 (right) -> row 2
    {kScratch, {0, 0, 144, 64}, kSheet, {48, 192, 192, 256}},   // row 0 (up) -> row 3
    {kSheet, {96, 0, 144, 128}, kSheet, {0, 0, 48, 128}},       // standing frame -> column 0, upper
    {kSheet, {96, 128, 144, 256}, kSheet, {0, 128, 48, 256}},   // standing frame -> column 0, lower
}};

}  // namespace

const std::vector<std::string>& outputSuffixes() {
    static const std::vector<std::string> suffixes{
        "_00.png", "_01.png", "_10.png", "_11.png", "_20.png", "_21.png", "_30.png", "_31.png",
    };
    return suffixes;
}

void ConvertSheet(const Image& source, Image& firstWork, Image& secondWork,
                  const std::string& targetFolder, const std::string& sourcePath,
                  const Template& templ) {
    Image& sheet = firstWork;
    Image& scratch = secondWork;
    const auto picture = [&](Picture p) -> Image& { return p == kScratch ? scratch : sheet; };

    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 2; ++j) {
            templ.loadInto(sheet);
            templ.loadInto(scratch);
            // A template smaller than the doubled block would cut it off and
            // leave copies 2 to 4 reading outside the scratch image.
            if (scratch.width() < kDoubledWidth) scratch.setWidth(kDoubledWidth);
            if (scratch.height() < kDoubledHeight) scratch.setHeight(kDoubledHeight);
            sheet.setHeight(kOutputHeight);
            sheet.setWidth(kOutputWidth);

            const int left = kBlockWidth * i, top = kBlockHeight * j;
            for (const CharCopy& c : kCopies) {
                if (c.from == kSource) {
                    const Rect r = c.fromRect;
                    copyRect(source, {r.left + left, r.top + top, r.right + left, r.bottom + top},
                             picture(c.to), c.toRect);
                } else {
                    copyRect(picture(c.from), c.fromRect, picture(c.to), c.toRect);
                }
            }
            // "_<i><j>.png": block column, then block row.
            writePng(sheet, outputName(targetFolder, sourcePath, outputSuffixes()[2 * i + j]));
        }
    }
}

}  // namespace chipshift::charchip
