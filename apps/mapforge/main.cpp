// mapforge: map chipsets of 480 x 256 into tilesets, autotiles and animation strips.
#include "mapchip/MapChipConverter.h"
#include "shell/ProgramMain.h"

#ifdef CHIPSHIFT_HAVE_WINDOW
#include "shell/window/Window.h"
constexpr chipshift::WindowFn kWindow = &chipshift::runWindow;
#else
constexpr chipshift::WindowFn kWindow = nullptr;
#endif

int main(int argc, char** argv) {
    using namespace chipshift;
    const Program program{
        .name = "mapforge",
        .title = "Chipshift マップチップ",
        .sheetWidth = mapchip::kSheetWidth,
        .sheetHeight = mapchip::kSheetHeight,
        .convertSheet = &mapchip::ConvertSheet,
        .outputSuffixes = mapchip::outputSuffixes(),
        .reportsWrongSizeInBatch = false,
    };
    return programMain(program, argc, argv, kWindow);
}
