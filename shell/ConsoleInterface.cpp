#include "shell/ConsoleInterface.h"

#include <unistd.h>

namespace chipshift {

void ConsoleInterface::showMessage(const std::string& text) {
    if (statusOnLine_) {
        std::fputs("\n", stderr);
        statusOnLine_ = false;
    }
    std::fprintf(stdout, "%s\n", text.c_str());
    std::fflush(stdout);
}

void ConsoleInterface::showError(const std::string& text) {
    if (statusOnLine_) {
        std::fputs("\n", stderr);
        statusOnLine_ = false;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
}

void ConsoleInterface::setStatus(const std::string& caption) {
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

void ConsoleInterface::pumpEvents() {}

}  // namespace chipshift
