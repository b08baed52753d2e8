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
    // While a batch runs the caption is the running count, drawn on standard
    // error; the caption set once the batch is idle again ("処理完了") is its
    // result and goes to standard output like every message.
    void setStatus(const std::string& caption) override;
    void setStatusColour(StatusColour) override {}
    void setRunning(bool running) override;
    // An interrupt (Ctrl-C) received since the batch began is the console's
    // click on the cancel button.
    void pumpEvents() override;
    void beep() override {}
    std::string targetFolderText() override { return targetFolder_; }

private:
    void endStatusLine();

    std::string targetFolder_;
    bool running_ = false;
    bool statusOnLine_ = false;  // a running count is drawn on the terminal's current line
};

}  // namespace chipshift
