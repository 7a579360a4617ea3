#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/db/LibraryEntry.h"

struct sqlite3;
class SqlStatement;

enum class LibraryOpenStatus {
    kOpened,
    // The file was damaged: it was moved aside and a new library started.
    kStartedAfresh,
    // A newer version of the program wrote it; it stays as it is, unopened.
    kRefused,
    // It could not be opened or created at all.
    kFailed,
};

struct LibraryOpenResult {
    LibraryOpenStatus status = LibraryOpenStatus::kFailed;
    // For the user, a whole sentence; empty when it simply opened.
    std::string message;
    bool Usable() const {
        return status == LibraryOpenStatus::kOpened || status == LibraryOpenStatus::kStartedAfresh;
    }
};

// The program library: one SQLite file. Nothing is read before the first Open, so a program
// that never uses the library never pays for it. Every change is one transaction; a batch (an
// import) holds a Transaction around many.
class LibraryDatabase {
public:
    explicit LibraryDatabase(std::string path);
    ~LibraryDatabase();
    LibraryDatabase(const LibraryDatabase&) = delete;
    LibraryDatabase& operator=(const LibraryDatabase&) = delete;

    // Opens the file on the first call (creating it and its folders, bringing an older schema up
    // to date) and answers every later call with the first result.
    const LibraryOpenResult& Open();
    bool IsOpen() const { return db_ != nullptr; }
    const std::string& Path() const { return path_; }
    // What the last failed change failed on, in SQLite's words.
    const std::string& LastProblem() const { return problem_; }
    // The clock of "added" and "last used" (seconds since 1970); tests set their own.
    void SetClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }
    int64_t Now() const { return clock_(); }

    // Changes made while one lives are one transaction, kept only when every change in it
    // succeeded and Commit was called.
    class Transaction {
    public:
        explicit Transaction(LibraryDatabase& database);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        // True when the changes are kept (or will be, with the outermost transaction).
        bool Commit();

    private:
        LibraryDatabase& database_;
        bool done_ = false;
    };

    struct Added {
        int64_t id = 0;
        // False when the same values were there already: only the source was added.
        bool isNew = false;
    };
    // Adds a program under name, or adds the source to the entry that holds the same values.
    std::optional<Added> AddProgram(const ProgramValues& values, const std::string& name,
                                    const LibrarySource& source);

    std::vector<LibraryEntry> Find(const LibraryQuery& query);
    std::optional<LibraryEntry> Entry(int64_t id);
    std::optional<LibraryEntry> EntryOfValues(const ProgramValues& values);
    std::vector<LibrarySource> Sources(int64_t id);
    // Every tag in use, in alphabetical order.
    std::vector<std::string> Tags();
    int64_t Count();

    // Name, tags, favourite and comment at once; tags are trimmed, blank ones dropped.
    bool SetMetadata(int64_t id, const LibraryMetadata& metadata);
    bool MarkUsed(int64_t id);
    // Removes a program; what it held, for Restore.
    std::optional<LibraryRecord> Delete(int64_t id);
    // Puts a deleted program back under its id, or, when the same values came back meanwhile,
    // adds its sources to that entry.
    bool Restore(const LibraryRecord& record);

private:
    // The bank's tables live in the same file and its changes in the same transactions.
    friend class BankStore;

    LibraryOpenResult OpenFile();
    bool IsDamaged();
    bool Migrate(int version, std::string* problem);
    void Close();
    SqlStatement& Statement(const char* sql);
    bool Failed(const SqlStatement& statement);
    bool Begin();
    bool End(bool keep);
    bool AddSource(int64_t id, const LibrarySource& source);
    bool WriteTags(int64_t id, const std::vector<std::string>& tags);
    std::vector<LibraryEntry> ReadEntries(SqlStatement& statement);

    std::string path_;
    sqlite3* db_ = nullptr;
    std::optional<LibraryOpenResult> opened_;
    std::string problem_;
    std::function<int64_t()> clock_;
    std::map<const char*, std::unique_ptr<SqlStatement>> statements_;
    // How many entries the last read found: the next one reserves that many.
    size_t lastFound_ = 0;
    int depth_ = 0;
    bool broken_ = false;
};

// $XDG_DATA_HOME/OrvodyneEditor/library.sqlite, or under ~/.local/share; nothing without HOME.
std::optional<std::string> DefaultLibraryPath();
