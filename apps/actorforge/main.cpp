// actorforge: character sheets of 288 x 256 into eight character sheets each.
#include "charchip/CharChipConverter.h"
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
        .name = "actorforge",
        .title = "Chipshift キャラチップ",
        .sheetWidth = charchip::kSheetWidth,
        .sheetHeight = charchip::kSheetHeight,
        .convertSheet = &charchip::ConvertSheet,
        .outputSuffixes = charchip::outputSuffixes(),
        .reportsWrongSizeInBatch = true,
    };
    return programMain(program, argc, argv, kWindow);
}
