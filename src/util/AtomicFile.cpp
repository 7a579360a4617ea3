#include "util/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

bool CanReplaceFile(const std::string& path) {
    if (path.empty() || path.back() == '/') return false;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) != 0) return true;
    return S_ISREG(existing.st_mode) && (existing.st_mode & 0222) != 0 &&
           ::access(path.c_str(), W_OK) == 0;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size) {
    if (!CanReplaceFile(path)) return false;
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;

    std::string pattern = path + ".XXXXXX";
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;

    const mode_t mode = exists ? (existing.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0;
    ok = ok && WriteAll(fd, static_cast<const unsigned char*>(data), size);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.data(), path.c_str()) == 0;
    if (!ok) ::unlink(temporary.data());
    return ok;
}
