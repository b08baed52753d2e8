#pragma once

#include "shell/Program.h"

namespace chipshift {

// Opens the program's window and runs it until it is closed.
using WindowFn = int (*)(const Program& program, int argc, char** argv);

// Start-up shared by both programs: with arguments the command-line mode,
// without them the window, or the usage where no window is built (window
// null).
int programMain(const Program& program, int argc, char** argv, WindowFn window);

}  // namespace chipshift
