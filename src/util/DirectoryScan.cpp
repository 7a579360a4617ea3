#include "util/DirectoryScan.h"

#include <sys/stat.h>

DirectoryScan::~DirectoryScan() {
    Close();
}

void DirectoryScan::Close() {
    if (dir_ != nullptr) closedir(dir_);
    dir_ = nullptr;
    entryName_.clear();
    entryIsFolder_ = false;
}

bool DirectoryScan::Start(const std::string& folder) {
    Close();
    folder_ = folder;
    if (folder_.size() > 1 && (folder_.back() == '/' || folder_.back() == '\\')) folder_.pop_back();
    dir_ = opendir(folder_.empty() ? "." : folder_.c_str());
    if (dir_ == nullptr) return false;
    return ReadEntry();
}

bool DirectoryScan::Advance() {
    return dir_ != nullptr && ReadEntry();
}

bool DirectoryScan::ReadEntry() {
    const dirent* entry = readdir(dir_);
    if (entry == nullptr) {
        entryName_.clear();
        entryIsFolder_ = false;
        return false;
    }
    entryName_ = entry->d_name;
    if (entry->d_type == DT_DIR) {
        entryIsFolder_ = true;
    } else if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
        struct stat info {};
        const std::string full = folder_ + "/" + entryName_;
        entryIsFolder_ = ::stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    } else {
        entryIsFolder_ = false;
    }
    return true;
}
