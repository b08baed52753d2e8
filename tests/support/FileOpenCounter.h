#pragma once

#include <functional>
#include <string>

namespace chipshift::test {

// How many times the file at path is opened while action runs (inotify).
int countOpens(const std::string& path, const std::function<void()>& action);

}  // namespace chipshift::test
