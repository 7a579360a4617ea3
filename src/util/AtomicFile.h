#pragma once

#include <cstddef>
#include <string>

// Replaces the file at path with the given bytes so that a reader sees either the old file or
// the whole new one, never a part: the bytes go to a temporary file in the same folder, which is
// flushed to disk and renamed over the old file. False on any failure (the folder is missing or
// not writable, the disk is full, the existing file is read-only); the old file is then left as
// it was and no temporary file remains.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size);
