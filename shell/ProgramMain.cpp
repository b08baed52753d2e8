#include "shell/ProgramMain.h"

#include "image/Template.h"
#include "shell/CommandLine.h"

#include <malloc.h>

#include <cstdio>
#include <string>
#include <vector>

namespace chipshift {

int programMain(const Program& program, int argc, char** argv, WindowFn window) {
    // Every output is built on images of the same few sizes, allocated and
    // released over and over (the template is read afresh at every load).
    // Keeping released memory in the heap, rather than handing it back to
    // the system and taking it again page by page, spares the page faults;
    // the heap's high-water mark is a few megabytes.
    ::mallopt(M_MMAP_THRESHOLD, 16 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 64 << 20);
    if (argc > 1) {
        const std::vector<std::string> args(argv + 1, argv + argc);
        return runCommandLine(program, Template::besideExecutable(), args);
    }
    if (window) return window(program, argc, argv);
    std::fputs(usageText(program).c_str(), stdout);
    return kExitCompleted;
}

}  // namespace chipshift
