#include "shell/CommandLine.h"

#include "shell/ConsoleInterface.h"
#include "shell/SingleFileRun.h"

#include <cstdio>
#include <exception>

namespace chipshift {

std::string usageText(const Program& program) {
    const std::string& n = program.name;
    return "Usage:\n"
           "  " + n + "                                   open the window\n"
           "  " + n + " SOURCE_FILE TARGET_FOLDER         convert one sheet\n"
           "  " + n + " --folder SOURCE_FOLDER TARGET_FOLDER\n"
           "                                            convert every .png and .bmp of a folder\n"
           "  " + n + " --help                            show this text\n"
           "\n"
           "Exit status: 0 completed, 1 refused (the message says why), 2 error,\n"
           "130 batch interrupted.\n";
}

int runCommandLine(const Program& program, const Template& templ, const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(usageText(program).c_str(), stdout);
        return kExitCompleted;
    }
    if (args.size() == 2 && args[0] != "--folder") {
        ConsoleInterface ui(args[1]);
        try {
            return runSingleFile(program, templ, ui, args[0], args[1]) == RunOutcome::Completed
                       ? kExitCompleted
                       : kExitRefused;
        } catch (const std::exception& e) {
            ui.showError(e.what());
            return kExitError;
        }
    }
    std::fputs(usageText(program).c_str(), stderr);
    return kExitUsage;
}

}  // namespace chipshift
