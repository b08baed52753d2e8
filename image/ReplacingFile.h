#pragma once
// A file written under a temporary name beside its target and renamed over
// the target only when complete, so that a failed write leaves whatever
// stood at the target untouched and no half-written file behind.

#include <cstdio>
#include <string>
#include <sys/types.h>

namespace chipshift {

class ReplacingFile {
public:
    // Refuses (ImageError naming path) a path that names a folder, an
    // existing file without write permission, and a folder where no file can
    // be created; otherwise opens the temporary file.
    explicit ReplacingFile(const std::string& path);
    ~ReplacingFile();  // an uncommitted file is closed and removed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    std::FILE* stream() const { return file_; }

    // Flushes and closes the temporary file and renames it over the target.
    // Throws ImageError naming the path when any step fails; the temporary
    // file is then removed and the target is as it was.
    void commit();

private:
    [[noreturn]] void fail(const std::string& what, int error);
    void discard();

    std::string path_;       // as passed in, for messages
    std::string target_;     // the file to replace (a symbolic link's target)
    std::string temporary_;
    std::FILE* file_ = nullptr;
};

}  // namespace chipshift
