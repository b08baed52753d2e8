#pragma once
// The command-line mode's side of the user-interface seam: messages as lines
// on standard output, errors on standard error, the running count on
// standard error.

#include "shell/UserInterface.h"

#include <cstdio>
#include <string>

namespace chipshift {

class ConsoleInterface : public UserInterface {
public:
    explicit ConsoleInterface(std::string targetFolder = {}) : targetFolder_(std::move(targetFolder)) {}

    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
    void setStatus(const std::string& caption) override;
    void setStatusColour(StatusColour) override {}
    void setRunning(bool) override {}
    void pumpEvents() override;
    void beep() override {}
    std::string targetFolderText() override { return targetFolder_; }

private:
    std::string targetFolder_;
    bool statusOnLine_ = false;  // a running count is drawn on the terminal's current line
};

}  // namespace chipshift
