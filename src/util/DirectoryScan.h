#pragma once

#include <string>

#include <dirent.h>

// Lists the entries of one folder in the system's order, "." and ".." included.
class DirectoryScan {
public:
    DirectoryScan() = default;
    ~DirectoryScan();
    DirectoryScan(const DirectoryScan&) = delete;
    DirectoryScan& operator=(const DirectoryScan&) = delete;

    // Starts listing folder (one trailing slash is dropped); true when a first entry was found.
    bool Start(const std::string& folder);
    // Moves to the next entry; false at the end.
    bool Advance();
    const std::string& EntryName() const { return entryName_; }
    bool EntryIsFolder() const { return entryIsFolder_; }
    // The folder as searched, without its trailing slash.
    const std::string& Folder() const { return folder_; }

private:
    void Close();
    bool ReadEntry();

    DIR* dir_ = nullptr;
    std::string folder_;
    std::string entryName_;
    bool entryIsFolder_ = false;
};
