#include "util/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

FileReader::~FileReader() {
    Close();
}

bool FileReader::Open(const std::string& path) {
    Close();
    // Paths are UTF-8 bytes, which the system takes as they are. Not waiting for a writer: a
    // FIFO would hold the caller until one came, and it is refused below anyway.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        openProblem_ = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        openProblem_ = S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "Not a plain file";
        ::close(fd);
        return false;
    }
    openProblem_.clear();
    fd_ = fd;
    size_ = info.st_size;
    position_ = 0;
    return true;
}

void FileReader::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
    position_ = 0;
}

size_t FileReader::Read(void* buffer, size_t n) {
    if (fd_ < 0) return 0;
    size_t total = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (total < n) {
        const ssize_t got = ::read(fd_, bytes + total, n - total);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        total += static_cast<size_t>(got);
    }
    position_ += static_cast<int64_t>(total);
    return total;
}

bool FileReader::Seek(int64_t position) {
    if (fd_ < 0 || position < 0) return false;
    if (::lseek(fd_, position, SEEK_SET) < 0) return false;
    position_ = position;
    return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path, size_t largest) {
    FileReader reader(path);
    if (!reader.IsOpen() || reader.Size() < 0 || static_cast<uint64_t>(reader.Size()) > largest) {
        return std::nullopt;
    }
    std::string content(static_cast<size_t>(reader.Size()), '\0');
    content.resize(reader.Read(content.data(), content.size()));
    return content;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsSpecialFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

std::optional<int64_t> RegularFileSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<int64_t>(info.st_size);
}
