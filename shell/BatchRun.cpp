#include "shell/BatchRun.h"

#include "image/Image.h"
#include "image/LoadByExtension.h"
#include "image/OutputName.h"
#include "shell/FileSystem.h"
#include "shell/ListFiles.h"
#include "shell/Messages.h"
#include "shell/SingleFileRun.h"

#include <map>
#include <utility>
#include <vector>

#include <sys/stat.h>

namespace chipshift {

namespace {

constexpr std::uint16_t kAnyAttribute = 0x3F;

// The source files of the work list by file identity, taken once, so that
// the check before every entry costs a few look-ups rather than a walk over
// the whole list.
class SourceFiles {
public:
    explicit SourceFiles(const std::vector<std::string>& list) {
        for (const std::string& path : list) {
            if (!path.empty() && path.back() == kPathDelimiter) continue;  // a folder entry
            struct stat st{};
            if (::stat(path.c_str(), &st) == 0) byIdentity_.emplace(std::pair{st.st_dev, st.st_ino}, path);
        }
    }

    // The source file that one of the entry's outputs would replace; empty
    // when none would.
    std::string replacedBy(const Program& program, const std::string& targetFolder,
                           const std::string& entry) const {
        std::vector<std::string> candidates;
        for (const std::string& suffix : program.outputSuffixes) {
            struct stat st{};
            if (::stat(outputName(targetFolder, entry, suffix).c_str(), &st) != 0) continue;
            const auto found = byIdentity_.find({st.st_dev, st.st_ino});
            if (found != byIdentity_.end()) candidates.push_back(found->second);
        }
        if (candidates.empty()) return {};
        // The shared rule decides, on the live file system, which one it is.
        return outputReplacingSource(program, targetFolder, entry, candidates);
    }

private:
    std::map<std::pair<dev_t, ino_t>, std::string> byIdentity_;
};

void enterRunning(UserInterface& ui) {
    ui.setRunning(true);
    ui.setStatusColour(StatusColour::Red);
}

void leaveRunning(UserInterface& ui) {
    ui.setRunning(false);
    ui.setStatusColour(StatusColour::Black);
}

// Converts one entry. Returns false when the entry was passed over (wrong
// size, not read because of its extension, or its outputs would replace a
// source file); the run then neither pumps nor looks at the cancel request.
bool convertEntry(const Program& program, const Template& templ, UserInterface& ui,
                  const SourceFiles& sources, const std::string& entry) {
    // Three fresh images for every entry, released before any message.
    Image source, firstWork, secondWork;
    loadByExtension(source, entry);
    if (source.height() != program.sheetHeight || source.width() != program.sheetWidth) {
        source = Image();
        if (program.reportsWrongSizeInBatch) ui.showMessage(msg::kWrongSize);
        return false;
    }

    const std::string targetFolder = ui.targetFolderText();
    // Converting a folder into itself would write a sheet's outputs over
    // source files that are still to come (or over the sheet itself).
    const std::string replaced = sources.replacedBy(program, targetFolder, entry);
    if (!replaced.empty()) {
        source = Image();
        ui.showMessage(std::string(msg::kWouldReplaceSource) + replaced);
        return false;
    }

    program.convertSheet(source, firstWork, secondWork, targetFolder, entry, templ);
    return true;
}

}  // namespace

BatchOutcome runBatch(const Program& program, const Template& templ, UserInterface& ui,
                      const std::string& sourceFolderText) {
    ui.cancelRequest = 0;
    if (!isExistingFolder(sourceFolderText)) {
        ui.showMessage(msg::kNoSourceFolder);
        return BatchOutcome::Refused;
    }
    if (!isExistingFolder(ui.targetFolderText())) {
        ui.showMessage(msg::kNoTargetFolder);
        return BatchOutcome::Refused;
    }

    std::vector<std::string> list;
    ListFiles(sourceFolderText, kAnyAttribute, true, true, list, true, true, false, "*.png");
    ListFiles(sourceFolderText, kAnyAttribute, true, false, list, true, true, false, "*.bmp");
    const SourceFiles sources(list);
    const std::string count = "/" + std::to_string(list.size());

    enterRunning(ui);
    try {
        ui.pumpEvents();
        for (std::size_t i = 0; i < list.size(); ++i) {
            ui.setStatus(msg::kBatchRunning + std::to_string(i) + count);
            if (!convertEntry(program, templ, ui, sources, list[i])) continue;
            ui.pumpEvents();
            if (ui.cancelRequest == 1) break;
        }
    } catch (...) {
        // The error is reported by the caller; the window must not stay
        // stuck in the running state. The caption keeps the entry's count.
        leaveRunning(ui);
        throw;
    }
    leaveRunning(ui);
    ui.setStatus(msg::kBatchDone);
    ui.beep();
    return BatchOutcome::Completed;
}

}  // namespace chipshift
