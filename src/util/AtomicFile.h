#pragma once

#include <cstddef>
#include <string>

// Replaces the file at path with the given bytes so that a reader sees either the old file or
// the whole new one, never a part: the bytes go to a temporary file in the same folder, which is
// flushed to disk and renamed over the old file. False on any failure (the folder is missing or
// not writable, the disk is full, the existing file is read-only); the old file is then left as
// it was, no temporary file remains, and problem (when given) says what failed and why, in the
// system's words ("cannot create a file in /music/: Permission denied").
//
// Flush says when the new bytes are on the disk before the rename: always (the user's files), or
// only when they replace a file (settings, whose first file holds nothing a crash could take:
// an empty one reads as none). A flush waits for the disk, tens of milliseconds on a busy one.
enum class Flush { Always, WhenReplacing };
[[nodiscard]] bool WriteFileAtomically(const std::string& path, const void* data, size_t size,
                                       std::string* problem = nullptr, Flush flush = Flush::Always);

// Whether WriteFileAtomically may replace the file at path: the path names no folder, and an
// existing file is writable (by its mode bits too: a read-only file stays, even for root). When
// it may not, problem (when given) says why.
bool CanReplaceFile(const std::string& path, std::string* problem = nullptr);
