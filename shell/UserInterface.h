#pragma once
// The one seam through which the runs talk to the user. The window implements
// it with Qt, the command-line mode with standard output, the tests with a
// recorder.

#include <string>

namespace chipshift {

enum class StatusColour { Black, Red };

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A message the user must acknowledge (a modal box in the window).
    virtual void showMessage(const std::string& text) = 0;
    // An error that ended a run (the application's error box in the window).
    virtual void showError(const std::string& text) = 0;

    // The batch run's status label and running state.
    virtual void setStatus(const std::string& caption) = 0;
    virtual void setStatusColour(StatusColour colour) = 0;
    // Running: the folder start button disabled and the cancel button shown
    // over it. Idle: the reverse.
    virtual void setRunning(bool running) = 0;
    // Serves pending events (clicks on cancel, edits, repaints).
    virtual void pumpEvents() = 0;
    virtual void beep() = 0;

    // The batch run rereads its target folder for every entry, so an edit
    // made between entries applies from the next one on.
    virtual std::string targetFolderText() = 0;

    // The cancel request: 0 none, 1 stop requested.
    int cancelRequest = 0;
};

}  // namespace chipshift
