#include "image/ReplacingFile.h"

#include "image/ImageError.h"
#include "image/WriteHook.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chipshift {

namespace {

// The mode a plain create would give a new file. umask can only be read by
// setting it, so it is put straight back; the program has one thread.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A symbolic link is written through, as a plain create would do: the file
// it points to is the one replaced, and the link stays.
std::string resolveLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& path) : path_(path) {
    runBeforeWriteHook(path);
    target_ = resolveLink(path);
    mode_t mode = newFileMode();
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) throw ImageError(path_ + ": cannot write the file: the path names a folder");
        // Checked by the bits as well as by access(), since access() grants
        // everything to root: a read-only file is never replaced.
        if ((st.st_mode & 0222) == 0 || ::access(target_.c_str(), W_OK) != 0)
            throw ImageError(path_ + ": cannot replace the file: it is read-only");
        mode = st.st_mode & 07777;  // a replaced file keeps its permissions
    } else if (errno != ENOENT) {
        fail("cannot create the file", errno);
    }

    const std::size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash == 0 ? 1 : slash);
    const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    if (name.empty()) throw ImageError(path_ + ": cannot write the file: the path names a folder");
    // Hidden, and short enough that the suffix never makes the name too long.
    temporary_ = folder + "/." + name.substr(0, 200) + ".XXXXXX";
    const int fd = ::mkstemp(temporary_.data());
    if (fd < 0) {
        const int error = errno;
        temporary_.clear();
        fail("cannot create the file", error);
    }
    if (::fchmod(fd, mode) != 0 || !(file_ = ::fdopen(fd, "wb"))) {
        const int error = errno;
        ::close(fd);
        fail("cannot create the file", error);
    }
}

ReplacingFile::~ReplacingFile() { discard(); }

void ReplacingFile::discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

void ReplacingFile::fail(const std::string& what, int error) {
    discard();
    throw ImageError(path_ + ": " + what + " (" + std::strerror(error) + ")");
}

void ReplacingFile::commit() {
    // A full disk may show only at the flush or the close.
    std::FILE* f = file_;
    file_ = nullptr;
    errno = 0;
    int error = std::fflush(f) != 0 || std::ferror(f) ? (errno ? errno : EIO) : 0;
    errno = 0;
    if (std::fclose(f) != 0 && error == 0) error = errno ? errno : EIO;
    if (error != 0) fail("cannot write the file", error);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) fail("cannot replace the file", errno);
    temporary_.clear();
}

}  // namespace chipshift
