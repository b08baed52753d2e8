#pragma once
// The folder batch run: every ".png" and ".bmp" of a source folder (and of
// its sub-folders whose names match) into the target folder.

#include "image/Template.h"
#include "shell/Program.h"
#include "shell/UserInterface.h"

#include <string>

namespace chipshift {

enum class BatchOutcome {
    Completed,  // the list was worked through, or the run stopped on a cancel request
    Refused,    // a folder check failed; its message was shown, the window untouched
};

// Runs the batch. The source folder is the text of the source-folder field;
// the target folder is read through ui.targetFolderText(), at the check and
// afresh for every entry. Errors of reading and writing leave as exceptions
// after the idle controls have been restored (the caption keeps the count of
// the entry that failed, and there is no beep).
BatchOutcome runBatch(const Program& program, const Template& templ, UserInterface& ui,
                      const std::string& sourceFolderText);

}  // namespace chipshift
