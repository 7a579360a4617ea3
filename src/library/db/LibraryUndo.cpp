#include "library/db/LibraryUndo.h"

#include "library/db/LibraryDatabase.h"

std::string LibraryUndo::Step::Text() const {
    if (deleted.empty()) return "Edit " + after.name;
    if (deleted.size() == 1) return "Delete " + deleted.front().entry.metadata.name;
    return "Delete " + std::to_string(deleted.size()) + " programs";
}

bool LibraryUndo::Delete(const std::vector<int64_t>& ids) {
    Step step;
    LibraryDatabase::Transaction transaction(database_);
    for (const int64_t id : ids) {
        std::optional<LibraryRecord> record = database_.Delete(id);
        if (!record) return false;
        step.deleted.push_back(std::move(*record));
    }
    if (step.deleted.empty() || !transaction.Commit()) return false;
    undo_.push_back(std::move(step));
    redo_.clear();
    return true;
}

bool LibraryUndo::SetMetadata(int64_t id, const LibraryMetadata& metadata) {
    const std::optional<LibraryEntry> entry = database_.Entry(id);
    if (!entry || !database_.SetMetadata(id, metadata)) return false;
    // Read back as stored (tags trimmed and sorted), so undo compares like with like.
    const std::optional<LibraryEntry> stored = database_.Entry(id);
    undo_.push_back({{}, id, entry->metadata, stored ? stored->metadata : metadata});
    redo_.clear();
    return true;
}

bool LibraryUndo::Apply(Step& step, bool forward) {
    if (step.deleted.empty()) {
        return database_.SetMetadata(step.id, forward ? step.after : step.before);
    }
    LibraryDatabase::Transaction transaction(database_);
    for (LibraryRecord& record : step.deleted) {
        if (forward) {
            std::optional<LibraryRecord> again = database_.Delete(record.entry.id);
            if (!again) return false;
            record = std::move(*again);
        } else if (!database_.Restore(record)) {
            return false;
        }
    }
    return transaction.Commit();
}

bool LibraryUndo::Undo() {
    if (undo_.empty() || !Apply(undo_.back(), false)) return false;
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    return true;
}

bool LibraryUndo::Redo() {
    if (redo_.empty() || !Apply(redo_.back(), true)) return false;
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    return true;
}

std::string LibraryUndo::UndoText() const {
    return undo_.empty() ? "" : undo_.back().Text();
}

std::string LibraryUndo::RedoText() const {
    return redo_.empty() ? "" : redo_.back().Text();
}
