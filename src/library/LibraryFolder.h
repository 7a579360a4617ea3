#pragma once

#include <optional>
#include <string>
#include <vector>

// The library folder: the folder of numbered program files the user works in, the sorted list
// of its program files, and the selected one, which the previous and next buttons step through.
class LibraryFolder {
public:
    // A program file of the folder: its whole name and the name without the extension.
    struct Entry {
        std::string fileName;
        std::string baseName;
        bool operator==(const Entry&) const = default;
    };

    // The program files of folder, sorted by name so that neither the order of writes nor the
    // file that fills holes depends on the file system. Folders are skipped; a file is a program
    // file when the text from the last "." of its name is ".prg", ".Prg" or ".PRG". All of them
    // are kept, however many there are.
    static std::vector<Entry> ListProgramFiles(const std::string& folder);
    static bool IsProgramFileName(const std::string& name);

    // The folder ends in "/"; a path with none appended gets one. Paths are kept whole: a path
    // cut short would name another folder.
    void SetFolder(const std::string& folder);
    const std::string& Folder() const { return folder_; }

    // The folder becomes path up to and including its last "/", and the list is read anew; the
    // entry whose file name is the file name of path becomes the selected one. Returns the
    // selected entry when path named one of the list; otherwise none is selected.
    std::optional<Entry> Scan(const std::string& path);
    // Forgets the list; previous and next do nothing until the next scan.
    void Clear();

    bool Loaded() const { return loaded_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    static constexpr int kNoneSelected = -1;
    // The index of the selected entry, kNoneSelected when there is none.
    int SelectedIndex() const { return selected_; }
    // The selected entry, if the list has one.
    std::optional<Entry> Selected() const;
    // Moves the selection by delta, held within the list; the entry then selected, or nothing
    // while no list is loaded or it is empty.
    std::optional<Entry> Step(int delta);
    // Makes entry index the selected one again (held within the list; negative: none).
    void Select(int index);

    // The full path of an entry of this folder.
    std::string PathOf(const Entry& entry) const { return folder_ + entry.fileName; }
    // The path the choosers are given after a folder was chosen: the folder and the first
    // listed file, or the folder alone when it holds none.
    std::string FirstPath() const;

private:
    std::string folder_;
    std::vector<Entry> entries_;
    int selected_ = kNoneSelected;
    bool loaded_ = false;
};
