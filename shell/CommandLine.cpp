#include "shell/CommandLine.h"

#include "shell/BatchRun.h"
#include "shell/ConsoleInterface.h"
#include "shell/InterruptRequest.h"
#include "shell/SingleFileRun.h"

#include <cstdio>
#include <exception>
#include <optional>

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
           "Put -- before the two paths when a path begins with \"-\".\n"
           "Ctrl-C during a folder run stops it after the sheet in work.\n"
           "\n"
           "Exit status: 0 completed, 1 refused (the message says why), 2 error,\n"
           "130 batch interrupted.\n";
}

namespace {

struct Invocation {
    bool folder = false;
    std::string source;
    std::string target;
};

// [--folder] [--] SOURCE TARGET. Anything else beginning with "-" before
// "--" is an unknown option, so that a mistyped option never becomes a path.
std::optional<Invocation> parse(const std::vector<std::string>& args) {
    Invocation inv;
    std::vector<std::string> paths;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--folder" && !inv.folder && paths.empty()) {
            inv.folder = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return std::nullopt;
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 2) return std::nullopt;
    inv.source = paths[0];
    inv.target = paths[1];
    return inv;
}

int runSingle(const Program& program, const Template& templ, const Invocation& inv) {
    ConsoleInterface ui(inv.target);
    try {
        return runSingleFile(program, templ, ui, inv.source, inv.target) == RunOutcome::Completed
                   ? kExitCompleted
                   : kExitRefused;
    } catch (const std::exception& e) {
        ui.showError(e.what());
        return kExitError;
    }
}

int runFolder(const Program& program, const Template& templ, const Invocation& inv) {
    ConsoleInterface ui(inv.target);
    const InterruptAsCancel interruptAsCancel;
    try {
        if (runBatch(program, templ, ui, inv.source) == BatchOutcome::Refused) return kExitRefused;
    } catch (const std::exception& e) {
        ui.showError(e.what());
        return kExitError;
    }
    return interruptRequested() ? kExitInterrupted : kExitCompleted;
}

}  // namespace

int runCommandLine(const Program& program, const Template& templ, const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(usageText(program).c_str(), stdout);
        return kExitCompleted;
    }
    const std::optional<Invocation> inv = parse(args);
    if (!inv) {
        std::fputs(usageText(program).c_str(), stderr);
        return kExitUsage;
    }
    return inv->folder ? runFolder(program, templ, *inv) : runSingle(program, templ, *inv);
}

}  // namespace chipshift
