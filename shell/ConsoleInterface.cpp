#include "shell/ConsoleInterface.h"

#include "shell/InterruptRequest.h"

#include <unistd.h>

namespace chipshift {

void ConsoleInterface::endStatusLine() {
    if (statusOnLine_) {
        std::fputs("\n", stderr);
        statusOnLine_ = false;
    }
}

void ConsoleInterface::showMessage(const std::string& text) {
    endStatusLine();
    std::fprintf(stdout, "%s\n", text.c_str());
    std::fflush(stdout);
}

void ConsoleInterface::showError(const std::string& text) {
    endStatusLine();
    std::fprintf(stderr, "%s\n", text.c_str());
}

void ConsoleInterface::setStatus(const std::string& caption) {
    if (!running_) {
        showMessage(caption);
        return;
    }
    // On a terminal the count is redrawn on one line; into a file or pipe
    // each count is a line of its own.
    if (::isatty(STDERR_FILENO)) {
        std::fprintf(stderr, "\r\033[K%s", caption.c_str());
        statusOnLine_ = true;
    } else {
        std::fprintf(stderr, "%s\n", caption.c_str());
    }
    std::fflush(stderr);
}

void ConsoleInterface::setRunning(bool running) {
    running_ = running;
    if (!running) endStatusLine();
}

void ConsoleInterface::pumpEvents() {
    if (interruptRequested()) cancelRequest = 1;
}

}  // namespace chipshift
