#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace chipshift::test {

bool runUnprivileged(const std::string& folder, const std::function<void()>& body) {
    if (::geteuid() != 0) {
        body();
        return !testing::Test::HasFailure();
    }
    constexpr uid_t kNobody = 65534;
    if (::chown(folder.c_str(), kNobody, kNobody) != 0) return false;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        if (::lchown(e.path().c_str(), kNobody, kNobody) != 0) return false;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
        body();
        ::_exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace chipshift::test
