#include "util/FileWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "util/AtomicFile.h"

namespace {
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}
}  // namespace

FileWriter::~FileWriter() {
    Discard();
}

bool FileWriter::Open(const std::string& path) {
    Discard();
    if (!CanReplaceFile(path)) return false;
    if (::access(FolderOf(path).c_str(), W_OK | X_OK) != 0) return false;
    path_ = path;
    open_ = true;
    return true;
}

size_t FileWriter::Write(const void* data, size_t n) {
    if (!open_) return 0;
    content_.append(static_cast<const char*>(data), n);
    return n;
}

bool FileWriter::Close() {
    if (!open_) return false;
    const bool ok = WriteFileAtomically(path_, content_.data(), content_.size());
    Discard();
    return ok;
}

void FileWriter::Discard() {
    open_ = false;
    path_.clear();
    content_.clear();
}

bool MakeFolder(const std::string& path, std::string* problem) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    const int error = errno;
    struct stat info {};
    if (error == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
    if (problem != nullptr)
        *problem = error == EEXIST ? "a file of that name is there" : std::strerror(error);
    return false;
}
