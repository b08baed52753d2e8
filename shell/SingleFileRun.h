#pragma once
// The single-file run: one source sheet into the program's full set of outputs.

#include "image/Template.h"
#include "shell/Program.h"
#include "shell/UserInterface.h"

#include <string>

namespace chipshift {

enum class RunOutcome {
    Completed,  // every output written, completion message shown
    Refused,    // a check failed; its message was shown and nothing was written
};

// Runs the checks in their order, reads the source by its extension, checks
// its size (height, then width), converts, and shows "処理完了！". Errors of
// reading and writing are not caught here: they leave as exceptions for the
// top of the program to report, after every image has been released.
RunOutcome runSingleFile(const Program& program, const Template& templ, UserInterface& ui,
                         const std::string& sourceText, const std::string& targetText);

// The source file that one of the outputs of sourcePath in targetFolder
// would replace, compared by file identity; empty when none would.
std::string outputReplacingSource(const Program& program, const std::string& targetFolder,
                                  const std::string& sourcePath,
                                  const std::vector<std::string>& sources);

}  // namespace chipshift
