#pragma once

#include <functional>
#include <string>

namespace chipshift::test {

// Runs body as an ordinary user, for tests of permissions that root would
// ignore. As root, body runs in a child process that first gives the folder
// (and all below it) to the unprivileged user 65534 and then becomes that
// user; otherwise it runs right here. Returns whether body ran without a
// test failure.
bool runUnprivileged(const std::string& folder, const std::function<void()>& body);

}  // namespace chipshift::test
