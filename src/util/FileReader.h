#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Sequential reading of a file named by a UTF-8 path. Opening never throws; a file that cannot
// be opened, or a folder, leaves the reader closed, and reads then return 0.
class FileReader {
public:
    FileReader() = default;
    explicit FileReader(const std::string& path) { Open(path); }
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    // Why the last Open failed, in the system's words ("No such file or directory"); empty
    // after a good Open.
    const std::string& OpenProblem() const { return openProblem_; }
    int64_t Size() const { return size_; }
    // Reads up to n bytes; fewer at the end of the file, 0 without a file.
    size_t Read(void* buffer, size_t n);
    int64_t Position() const { return position_; }
    bool Seek(int64_t position);

private:
    int fd_ = -1;
    int64_t size_ = 0;
    int64_t position_ = 0;
    std::string openProblem_;
};

// The whole content of a regular file, or nothing when it cannot be read or is larger than
// largest bytes.
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         size_t largest = 256 * 1024 * 1024);

bool FileExists(const std::string& path);
bool IsFolder(const std::string& path);
// Whether path names something that is neither a regular file nor a folder: a device such as
// /dev/null, a FIFO or a socket.
bool IsSpecialFile(const std::string& path);
// The size of a regular file; nothing for anything else or when there is nothing at path.
std::optional<int64_t> RegularFileSize(const std::string& path);
