#pragma once

#include "image/Template.h"
#include "shell/Program.h"

#include <string>
#include <vector>

namespace chipshift {

// Exit statuses of the command-line mode.
enum ExitStatus {
    kExitCompleted = 0,
    kExitRefused = 1,
    kExitError = 2,
    kExitUsage = 64,
    kExitInterrupted = 130,
};

std::string usageText(const Program& program);

// Runs the command-line mode on the arguments after the program name:
//   SOURCE_FILE TARGET_FOLDER           the single-file run
//   --folder SOURCE_FOLDER TARGET_FOLDER the folder batch run
//   --help                              the usage
// Returns the exit status.
int runCommandLine(const Program& program, const Template& templ, const std::vector<std::string>& args);

}  // namespace chipshift
