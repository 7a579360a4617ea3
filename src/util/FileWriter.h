#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Sequential writing of a file named by a UTF-8 path. What is written is collected and put in
// place atomically by Close, whose result tells whether that worked: until then the old file
// stays as it was, and a failed save never leaves a truncated file behind. A writer dropped
// without Close changes nothing, so no failure goes unseen.
class FileWriter {
public:
    FileWriter() = default;
    // Whether the file could be opened, IsOpen tells.
    explicit FileWriter(const std::string& path) { (void)Open(path); }
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // False when the file could plainly not be created: the folder is missing or not writable,
    // the path names a folder, or the existing file is read-only.
    [[nodiscard]] bool Open(const std::string& path);
    bool IsOpen() const { return open_; }
    // Accepts n bytes; 0 without an open file.
    size_t Write(const void* data, size_t n);
    int64_t Position() const { return static_cast<int64_t>(content_.size()); }
    // Replaces the file with what was written; false when that failed (nothing changed then).
    [[nodiscard]] bool Close();
    // Drops what was written; the old file stays.
    void Discard();

private:
    std::string path_;
    std::string content_;
    bool open_ = false;
};

// Creates the folder at path (not its parents); true when a folder is there afterwards, also
// one that was there before. When not, problem (when given) says why, in the system's words.
[[nodiscard]] bool MakeFolder(const std::string& path, std::string* problem = nullptr);
