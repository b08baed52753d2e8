#include "shell/ProgramMain.h"

#include "image/HeapSettings.h"
#include "image/Template.h"
#include "shell/CommandLine.h"

#include <cstdio>
#include <string>
#include <vector>

namespace chipshift {

int programMain(const Program& program, int argc, char** argv, WindowFn window) {
    keepReleasedMemoryInHeap();
    if (argc > 1) {
        const std::vector<std::string> args(argv + 1, argv + argc);
        return runCommandLine(program, Template::besideExecutable(), args);
    }
    if (window) return window(program, argc, argv);
    std::fputs(usageText(program).c_str(), stdout);
    return kExitCompleted;
}

}  // namespace chipshift
