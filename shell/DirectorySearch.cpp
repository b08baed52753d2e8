#include "shell/DirectorySearch.h"

#include <algorithm>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>

namespace chipshift {

namespace {

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = foldAscii(c);
    return out;
}

}  // namespace

bool matchesMask(std::string_view mask, std::string_view name) {
    // Iterative wildcard match with backtracking to the last "*": linear in
    // practice, and no recursion depth that a long name could exhaust.
    std::size_t m = 0, n = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || foldAscii(mask[m]) == foldAscii(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

std::uint16_t attributesOf(const std::string& path, std::string_view name) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return attr::kOther;
    std::uint16_t value = 0;
    if (S_ISDIR(st.st_mode)) {
        value = attr::kFolder;
    } else if (S_ISREG(st.st_mode)) {
        value = attr::kArchive;
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) value |= attr::kReadOnly;
    } else {
        return attr::kOther;
    }
    if (!name.empty() && name.front() == '.') value |= attr::kHidden;
    return value;
}

std::vector<DirectoryEntry> searchDirectory(const std::string& folder, std::string_view mask) {
    std::vector<DirectoryEntry> entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) return entries;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string_view name(e->d_name);
        if (!matchesMask(mask, name)) continue;
        entries.push_back({std::string(name), attributesOf(folder + std::string(name), name)});
    }
    // Sorting on folded copies keeps the comparison a plain byte compare.
    std::vector<std::pair<std::string, DirectoryEntry>> keyed;
    keyed.reserve(entries.size());
    for (DirectoryEntry& entry : entries) keyed.emplace_back(folded(entry.name), std::move(entry));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return a.second.name < b.second.name;
    });
    entries.clear();
    for (auto& k : keyed) entries.push_back(std::move(k.second));
    return entries;
}

bool clearReadOnly(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return false;
    return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

}  // namespace chipshift
