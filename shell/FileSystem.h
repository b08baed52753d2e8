#pragma once
// The few file-system questions the runs ask.

#include <string>
#include <vector>

namespace chipshift {

// True when path names an existing regular file (a folder does not count).
bool isExistingFile(const std::string& path);
// True when path names an existing folder.
bool isExistingFolder(const std::string& path);
// True when both paths name the same existing file (same device and inode),
// however the texts differ.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace chipshift
