#pragma once

#include <cstddef>
#include <string>

// Replaces the file at path with the given bytes so that a reader sees either the old file or
// the whole new one, never a part: the bytes go to a temporary file in the same folder, which is
// flushed to disk and renamed over the old file. False on any failure (the folder is missing or
// not writable, the disk is full, the existing file is read-only); the old file is then left as
// it was and no temporary file remains.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, const void* data, size_t size);

// Whether WriteFileAtomically may replace the file at path: the path names no folder, and an
// existing file is writable (by its mode bits too: a read-only file stays, even for root).
bool CanReplaceFile(const std::string& path);
