#include "util/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

bool WriteAll(int fd, const unsigned char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Says what failed: the step and the system's reason for the error the last call left.
bool Fail(std::string* problem, const std::string& step, int error) {
    if (problem) *problem = step + ": " + std::strerror(error);
    return false;
}

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("the current folder")
                                      : path.substr(0, slash + 1);
}

}  // namespace

bool CanReplaceFile(const std::string& path, std::string* problem) {
    if (path.empty()) return Fail(problem, "no file name given", ENOENT);
    if (path.back() == '/') return Fail(problem, "the name is a folder", EISDIR);
    struct stat existing {};
    if (::stat(path.c_str(), &existing) != 0) return true;
    if (S_ISDIR(existing.st_mode)) return Fail(problem, "the name is a folder", EISDIR);
    if (!S_ISREG(existing.st_mode)) return Fail(problem, "the name is no plain file", EINVAL);
    if ((existing.st_mode & 0222) == 0) return Fail(problem, "the file is read-only", EACCES);
    if (::access(path.c_str(), W_OK) != 0) return Fail(problem, "the file is read-only", errno);
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size,
                         std::string* problem, Flush flush) {
    if (!CanReplaceFile(path, problem)) return false;
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;

    std::string pattern = path + ".XXXXXX";
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return Fail(problem, "cannot create a file in " + FolderOfPath(path), errno);

    const mode_t mode = exists ? (existing.st_mode & 07777) : 0644;
    const char* step = "cannot set the file's permissions";
    bool ok = ::fchmod(fd, mode) == 0;
    if (ok) step = "cannot write the file";
    ok = ok && WriteAll(fd, static_cast<const unsigned char*>(data), size);
    if (exists || flush == Flush::Always) ok = ok && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.data(), path.c_str()) != 0) {
        ok = false;
        error = errno;
        step = "cannot put the file in place";
    }
    if (ok) return true;
    ::unlink(temporary.data());
    return Fail(problem, step, error);
}
