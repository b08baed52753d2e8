#include "shell/ProgramMain.h"

#include "image/HeapSettings.h"
#include "image/Template.h"
#include "shell/CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace chipshift {

int programMain(const Program& program, int argc, char** argv, WindowFn window) {
    keepReleasedMemoryInHeap();
    if (argc > 1) {
        const std::vector<std::string> args(argv + 1, argv + argc);
        return runCommandLine(program, Template::besideExecutable(), args);
    }
    if (window) {
        // Without a display the toolkit would abort with a message about
        // platform plugins; say plainly what the user can do instead.
        const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") ||
                             std::getenv("QT_QPA_PLATFORM");
        if (!display) {
            std::fprintf(stderr, "%s: no display to open the window on; the command line works without one.\n\n%s",
                         program.name.c_str(), usageText(program).c_str());
            return kExitUsage;
        }
        return window(program, argc, argv);
    }
    std::fputs(usageText(program).c_str(), stdout);
    return kExitCompleted;
}

}  // namespace chipshift
