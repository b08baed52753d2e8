#include "tests/support/FileOpenCounter.h"

#include <stdexcept>
#include <sys/inotify.h>
#include <unistd.h>

namespace chipshift::test {

int countOpens(const std::string& path, const std::function<void()>& action) {
    const int watcher = ::inotify_init1(IN_NONBLOCK);
    if (watcher < 0) throw std::runtime_error("inotify unavailable");
    // Closes are watched too: the kernel merges an event into an identical
    // unread one before it, so only alternating events count every open.
    if (::inotify_add_watch(watcher, path.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        ::close(watcher);
        throw std::runtime_error("cannot watch " + path);
    }
    action();
    int opens = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(watcher, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + n; p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
            if (reinterpret_cast<inotify_event*>(p)->mask & IN_OPEN) ++opens;
    ::close(watcher);
    return opens;
}

}  // namespace chipshift::test
