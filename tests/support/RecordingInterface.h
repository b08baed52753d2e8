#pragma once
// A user interface for tests: records every call in order and lets a test act
// at the pumps, as a user clicking cancel or editing the target folder would.

#include "shell/UserInterface.h"

#include <functional>
#include <string>
#include <vector>

namespace chipshift::test {

class RecordingInterface : public UserInterface {
public:
    explicit RecordingInterface(std::string targetFolder = {}) : targetFolder(std::move(targetFolder)) {}

    void showMessage(const std::string& text) override { log.push_back("message " + text); }
    void showError(const std::string& text) override { log.push_back("error " + text); }
    void setStatus(const std::string& caption) override { log.push_back("status " + caption); }
    void setStatusColour(StatusColour colour) override {
        log.push_back(colour == StatusColour::Red ? "colour red" : "colour black");
    }
    void setRunning(bool running) override { log.push_back(running ? "running" : "idle"); }
    void pumpEvents() override;
    void beep() override { log.push_back("beep"); }
    std::string targetFolderText() override {
        ++targetReads;
        return targetFolder;
    }

    // Every call but the target-folder reads, e.g. "status 処理中...0/2",
    // "message 不正なサイズです。", "running", "colour red", "pump", "beep".
    std::vector<std::string> log;
    int targetReads = 0;
    std::string targetFolder;
    // Runs at every pump with the number of the pump (1 for the first).
    std::function<void(RecordingInterface&, int)> onPump;

    // The log entries that start with prefix.
    std::vector<std::string> entriesStartingWith(const std::string& prefix) const;

private:
    int pumps_ = 0;
};

}  // namespace chipshift::test
