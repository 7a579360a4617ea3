#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/db/LibraryEntry.h"

class LibraryDatabase;

// The library window's changes, each one step that can be taken back and done again: deleting
// programs (a selection at once) and editing one program's name, tags, favourite or comment.
class LibraryUndo {
public:
    explicit LibraryUndo(LibraryDatabase& database) : database_(database) {}

    bool Delete(const std::vector<int64_t>& ids);
    bool SetMetadata(int64_t id, const LibraryMetadata& metadata);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    bool Undo();
    bool Redo();
    // What Undo and Redo would take back or do again: "Delete 3 programs", "Edit Fat bass".
    std::string UndoText() const;
    std::string RedoText() const;

private:
    struct Step {
        std::vector<LibraryRecord> deleted;
        int64_t id = 0;
        LibraryMetadata before;
        LibraryMetadata after;
        std::string Text() const;
    };
    bool Apply(Step& step, bool forward);

    LibraryDatabase& database_;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
};
