#include "shell/SingleFileRun.h"

#include "image/Image.h"
#include "image/LoadByExtension.h"
#include "image/OutputName.h"
#include "shell/FileSystem.h"
#include "shell/Messages.h"

namespace chipshift {

std::string outputReplacingSource(const Program& program, const std::string& targetFolder,
                                  const std::string& sourcePath,
                                  const std::vector<std::string>& sources) {
    for (const std::string& suffix : program.outputSuffixes) {
        const std::string out = outputName(targetFolder, sourcePath, suffix);
        for (const std::string& source : sources)
            if (sameFile(out, source)) return source;
    }
    return {};
}

RunOutcome runSingleFile(const Program& program, const Template& templ, UserInterface& ui,
                         const std::string& sourceText, const std::string& targetText) {
    ui.cancelRequest = 0;
    if (!isExistingFile(sourceText)) {
        ui.showMessage(msg::kNoFile);
        return RunOutcome::Refused;
    }
    if (!isExistingFolder(targetText)) {
        ui.showMessage(msg::kNoFolder);
        return RunOutcome::Refused;
    }

    {
        // The three images live until the conversion is over and are
        // released on every way out, before any message is shown.
        Image source, firstWork, secondWork;
        loadByExtension(source, sourceText);
        if (source.height() != program.sheetHeight || source.width() != program.sheetWidth) {
            source = Image();
            ui.showMessage(msg::kWrongSize);
            return RunOutcome::Refused;
        }

        // Converting a sheet into its own folder would write the tileset
        // sheet (or another output) over the sheet itself: the user's
        // original would be lost.
        const std::string replaced =
            outputReplacingSource(program, targetText, sourceText, {sourceText});
        if (!replaced.empty()) {
            source = Image();
            ui.showMessage(std::string(msg::kWouldReplaceSource) + replaced);
            return RunOutcome::Refused;
        }

        program.convertSheet(source, firstWork, secondWork, targetText, sourceText, templ);
    }
    ui.showMessage(msg::kDone);
    return RunOutcome::Completed;
}

}  // namespace chipshift
