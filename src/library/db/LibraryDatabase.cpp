#include "library/db/LibraryDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <utility>

#include "library/db/LibrarySchema.h"
#include "library/db/ProgramLikeness.h"
#include "library/db/SqlStatement.h"
#include "unit/ProgramConversion.h"
#include "util/FileReader.h"
#include "util/FileWriter.h"

namespace {

constexpr const char* kEntryColumns =
    "SELECT p.id, p.fingerprint, p.block, p.name, p.favourite, p.comment, p.added, p.last_used, "
    "p.effect_type, (SELECT group_concat(tag, char(10)) FROM (SELECT tag FROM tags WHERE "
    "program = p.id ORDER BY tag COLLATE NOCASE)) FROM programs p";
constexpr const char* kEntryById =
    "SELECT p.id, p.fingerprint, p.block, p.name, p.favourite, p.comment, p.added, p.last_used, "
    "p.effect_type, (SELECT group_concat(tag, char(10)) FROM (SELECT tag FROM tags WHERE "
    "program = p.id ORDER BY tag COLLATE NOCASE)) FROM programs p WHERE p.id = ?1";
constexpr const char* kFindFingerprint = "SELECT id, block FROM programs WHERE fingerprint = ?1";
constexpr const char* kInsertProgram =
    "INSERT INTO programs (fingerprint, block, name, added, effect_type) VALUES (?1, ?2, ?3, ?4, "
    "?5)";
constexpr const char* kRestoreProgram =
    "INSERT INTO programs (id, fingerprint, block, name, favourite, comment, added, last_used, "
    "effect_type) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)";
constexpr const char* kSourceKnown =
    "SELECT 1 FROM sources WHERE program = ?1 AND kind = ?2 AND path = ?3 AND location = ?4";
constexpr const char* kInsertSource =
    "INSERT INTO sources (program, kind, path, location, at) VALUES (?1, ?2, ?3, ?4, ?5)";
constexpr const char* kSourcesOf =
    "SELECT kind, path, location, at FROM sources WHERE program = ?1 ORDER BY at, id";
constexpr const char* kDeleteTags = "DELETE FROM tags WHERE program = ?1";
constexpr const char* kInsertTag = "INSERT OR IGNORE INTO tags (program, tag) VALUES (?1, ?2)";
constexpr const char* kUpdateMetadata =
    "UPDATE programs SET name = ?2, favourite = ?3, comment = ?4 WHERE id = ?1";
constexpr const char* kMarkUsed = "UPDATE programs SET last_used = ?2 WHERE id = ?1";
constexpr const char* kDeleteProgram = "DELETE FROM programs WHERE id = ?1";
constexpr const char* kAllTags = "SELECT DISTINCT tag FROM tags ORDER BY tag COLLATE NOCASE";
constexpr const char* kCount = "SELECT count(*) FROM programs";

int64_t SystemSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string BlockBytes(const ProgramValues& values) {
    const ProgramBlock block = ProgramSlotsToUnitBytes(values);
    return std::string(block.begin(), block.end());
}

ProgramValues ValuesOfBytes(const std::string& bytes) {
    ProgramBlock block{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), block.size()), block.begin());
    return UnitBytesToProgramSlots(block);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A tag as kept: one line, no blanks around it.
std::string CleanTag(std::string tag) {
    std::replace_if(
        tag.begin(), tag.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
    const size_t first = tag.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return tag.substr(first, tag.find_last_not_of(' ') - first + 1);
}

// A word of the search as a LIKE pattern: % and _ typed by the user are themselves.
std::string LikePattern(const std::string& word) {
    std::string pattern = "%";
    for (const char c : word) {
        if (c == '%' || c == '_' || c == '\\') pattern += '\\';
        pattern += c;
    }
    return pattern + "%";
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// path.damaged-2026-12-09-213000 (a second one in the same second gets -2, -3, ...).
std::string AsidePath(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", &local);
    std::string aside = path + ".damaged-" + stamp;
    for (int n = 2; FileExists(aside); ++n) {
        aside = path + ".damaged-" + stamp + "-" + std::to_string(n);
    }
    return aside;
}

bool MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        if (!IsFolder(folder.substr(0, slash)) && !MakeFolder(folder.substr(0, slash))) {
            return false;
        }
    }
    return IsFolder(folder) || MakeFolder(folder);
}

}  // namespace

std::optional<std::string> DefaultLibraryPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string folder;
    if (data && *data) {
        folder = data;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return std::nullopt;
        folder = std::string(home) + "/.local/share";
    }
    return folder + "/OrvodyneEditor/library.sqlite";
}

LibraryDatabase::LibraryDatabase(std::string path)
    : path_(std::move(path)), clock_(SystemSeconds) {}

LibraryDatabase::~LibraryDatabase() {
    Close();
}

void LibraryDatabase::Close() {
    statements_.clear();
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
}

const LibraryOpenResult& LibraryDatabase::Open() {
    if (!opened_) opened_ = OpenFile();
    return *opened_;
}

LibraryOpenResult LibraryDatabase::OpenFile() {
    const size_t slash = path_.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path_.substr(0, slash))) {
        return {LibraryOpenStatus::kFailed,
                "The folder of the library " + path_ + " could not be created."};
    }
    auto fail = [this](const std::string& why) {
        LibraryOpenResult result{LibraryOpenStatus::kFailed,
                                 "The library " + path_ + " could not be opened (" + why + ")."};
        Close();
        return result;
    };
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        return fail(db_ ? sqlite3_errmsg(db_) : "out of memory");
    }
    sqlite3_busy_timeout(db_, 3000);
    LibraryOpenResult result{LibraryOpenStatus::kOpened, ""};
    if (IsDamaged()) {
        Close();
        const std::string aside = AsidePath(path_);
        if (std::rename(path_.c_str(), aside.c_str()) != 0) {
            return fail("it is damaged and could not be moved aside");
        }
        result = {LibraryOpenStatus::kStartedAfresh,
                  "The library " + path_ + " was damaged and could not be read. It was moved " +
                      "aside as " + aside + ", and a new, empty library was started."};
        if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            return fail(db_ ? sqlite3_errmsg(db_) : "out of memory");
        }
        sqlite3_busy_timeout(db_, 3000);
    }
    int64_t found = 0;
    {
        SqlStatement version(db_, "PRAGMA user_version");
        if (version.Step()) found = version.Int(0);
    }
    if (found > CurrentSchemaVersion()) {
        Close();
        return {LibraryOpenStatus::kRefused,
                "The library " + path_ + " was written by a newer version of Orvo Editor " +
                    "(library version " + std::to_string(found) + "; this version reads up to " +
                    std::to_string(CurrentSchemaVersion()) +
                    "). It was left as it is and not opened."};
    }
    std::string problem;
    // The whole library of a collector (10,000 programs, a few MB) stays in memory between
    // searches, so a search as the user types reads no page from the file again.
    if (!RunSql(db_, "PRAGMA foreign_keys = ON; PRAGMA cache_size = -32768", &problem) ||
        !Migrate(static_cast<int>(found), &problem)) {
        return fail(problem);
    }
    return result;
}

bool LibraryDatabase::IsDamaged() {
    // An empty file is a new database; anything SQLite cannot read as one, or whose pages do not
    // hold together, is damaged. A library another program holds locked is not: opening it
    // fails, and nothing is moved.
    SqlStatement check(db_, "PRAGMA quick_check(1)");
    if (check.Prepared() && check.Step()) return check.Text(0) != "ok";
    const int code = sqlite3_errcode(db_);
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

bool LibraryDatabase::Migrate(int version, std::string* problem) {
    for (const SchemaStep& step : SchemaSteps()) {
        if (step.version <= version) continue;
        const std::string sql = std::string("BEGIN IMMEDIATE;") + step.sql +
                                "PRAGMA user_version = " + std::to_string(step.version) +
                                ";COMMIT;";
        if (!RunSql(db_, sql.c_str(), problem)) {
            RunSql(db_, "ROLLBACK");
            return false;
        }
    }
    return true;
}

SqlStatement& LibraryDatabase::Statement(const char* sql) {
    std::unique_ptr<SqlStatement>& statement = statements_[sql];
    if (!statement) statement = std::make_unique<SqlStatement>(db_, sql);
    statement->Reset();
    return *statement;
}

bool LibraryDatabase::Failed(const SqlStatement& statement) {
    if (!statement.Failed() && statement.Prepared()) return false;
    problem_ = db_ ? sqlite3_errmsg(db_) : "the library is not open";
    broken_ = true;
    return true;
}

bool LibraryDatabase::Begin() {
    if (!db_) return false;
    if (depth_++ > 0) return true;
    broken_ = false;
    return RunSql(db_, "BEGIN IMMEDIATE", &problem_);
}

bool LibraryDatabase::End(bool keep) {
    if (!db_ || depth_ == 0) return false;
    if (!keep) broken_ = true;
    if (--depth_ > 0) return !broken_;
    if (broken_) {
        RunSql(db_, "ROLLBACK");
        return false;
    }
    if (RunSql(db_, "COMMIT", &problem_)) return true;
    RunSql(db_, "ROLLBACK");
    return false;
}

LibraryDatabase::Transaction::Transaction(LibraryDatabase& database) : database_(database) {
    if (!database_.Begin()) database_.broken_ = true;
}

LibraryDatabase::Transaction::~Transaction() {
    if (!done_) database_.End(false);
}

bool LibraryDatabase::Transaction::Commit() {
    done_ = true;
    return database_.End(true);
}

std::optional<LibraryDatabase::Added> LibraryDatabase::AddProgram(const ProgramValues& values,
                                                                  const std::string& name,
                                                                  const LibrarySource& source) {
    if (!db_) return std::nullopt;
    Transaction transaction(*this);
    // A transaction that could not begin (another program holds the library) or that failed
    // already takes no more changes: they would be written one by one, outside it.
    if (broken_) return {};
    const std::string block = BlockBytes(values);
    const std::string fingerprint = ProgramFingerprint(values);
    Added added;
    SqlStatement& find = Statement(kFindFingerprint);
    find.Bind(1, fingerprint);
    if (find.Step()) {
        if (find.Blob(1) != block) {
            problem_ = "two different programs share the fingerprint " + fingerprint;
            return std::nullopt;
        }
        added.id = find.Int(0);
    } else {
        if (Failed(find)) return std::nullopt;
        SqlStatement& insert = Statement(kInsertProgram);
        insert.Bind(1, fingerprint)
            .BindBlob(2, block.data(), block.size())
            .Bind(3, name)
            .Bind(4, Now())
            .Bind(5, static_cast<int64_t>(static_cast<uint8_t>(block[kEffectTypeSlot])));
        if (!insert.Run() && Failed(insert)) return std::nullopt;
        added = {sqlite3_last_insert_rowid(db_), true};
    }
    find.Reset();
    if (!AddSource(added.id, source) || !transaction.Commit()) return std::nullopt;
    return added;
}

bool LibraryDatabase::AddSource(int64_t id, const LibrarySource& source) {
    SqlStatement& known = Statement(kSourceKnown);
    known.Bind(1, id).Bind(2, SourceKindName(source.kind)).Bind(3, source.path);
    known.Bind(4, static_cast<int64_t>(source.location));
    const bool isKnown = known.Step();
    known.Reset();
    if (isKnown) return true;
    SqlStatement& insert = Statement(kInsertSource);
    insert.Bind(1, id).Bind(2, SourceKindName(source.kind)).Bind(3, source.path);
    insert.Bind(4, static_cast<int64_t>(source.location)).Bind(5, source.at ? source.at : Now());
    return insert.Run() || !Failed(insert);
}

std::vector<LibraryEntry> LibraryDatabase::ReadEntries(SqlStatement& statement) {
    std::vector<LibraryEntry> entries;
    entries.reserve(lastFound_);
    while (statement.Step()) {
        LibraryEntry& entry = entries.emplace_back();
        entry.id = statement.Int(0);
        entry.fingerprint = statement.Text(1);
        entry.values = ValuesOfBytes(statement.Blob(2));
        entry.metadata.name = statement.Text(3);
        entry.metadata.favourite = statement.Int(4) != 0;
        entry.metadata.comment = statement.Text(5);
        entry.added = statement.Int(6);
        entry.lastUsed = statement.Int(7);
        entry.effectType = static_cast<int>(statement.Int(8));
        entry.metadata.tags = Lines(statement.Text(9));
    }
    Failed(statement);
    statement.Reset();
    lastFound_ = entries.size();
    return entries;
}

std::vector<LibraryEntry> LibraryDatabase::Find(const LibraryQuery& query) {
    if (!db_) return {};
    // One pass over the table and a sort of what matched beats walking the name index and
    // seeking every row from it.
    std::string sql = std::string(kEntryColumns) + " NOT INDEXED WHERE 1";
    std::vector<std::string> texts;
    for (const std::string& word : Words(query.text)) {
        texts.push_back(LikePattern(word));
        const std::string n = "?" + std::to_string(texts.size());
        sql += " AND (p.name LIKE " + n + " ESCAPE '\\' OR p.comment LIKE " + n +
               " ESCAPE '\\' OR EXISTS (SELECT 1 FROM tags t WHERE t.program = p.id AND t.tag "
               "LIKE " +
               n + " ESCAPE '\\'))";
    }
    if (query.favouritesOnly) sql += " AND p.favourite = 1";
    if (!query.tag.empty()) {
        texts.push_back(query.tag);
        sql += " AND EXISTS (SELECT 1 FROM tags t WHERE t.program = p.id AND t.tag = ?" +
               std::to_string(texts.size()) + " COLLATE NOCASE)";
    }
    if (query.effectType >= 0) sql += " AND p.effect_type = " + std::to_string(query.effectType);
    switch (query.sort) {
        case LibrarySort::kAdded:
            sql += " ORDER BY p.added DESC, p.id DESC";
            break;
        case LibrarySort::kLastUsed:
            sql += " ORDER BY p.last_used DESC, p.name COLLATE NOCASE, p.id";
            break;
        case LibrarySort::kName:
        case LibrarySort::kLikeness:
            sql += " ORDER BY p.name COLLATE NOCASE, p.id";
            break;
    }
    SqlStatement statement(db_, sql);
    for (size_t i = 0; i < texts.size(); ++i)
        statement.Bind(static_cast<int>(i + 1), texts[i]);
    std::vector<LibraryEntry> entries = ReadEntries(statement);
    if (query.sort == LibrarySort::kLikeness && query.likeness) {
        std::vector<std::pair<double, size_t>> order(entries.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            order[i] = {ProgramDistance(*query.likeness, entries[i].values), i};
        }
        std::stable_sort(order.begin(), order.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<LibraryEntry> sorted;
        sorted.reserve(entries.size());
        for (const auto& [distance, index] : order)
            sorted.push_back(std::move(entries[index]));
        entries = std::move(sorted);
    }
    return entries;
}

std::optional<LibraryEntry> LibraryDatabase::Entry(int64_t id) {
    if (!db_) return std::nullopt;
    SqlStatement& statement = Statement(kEntryById);
    statement.Bind(1, id);
    std::vector<LibraryEntry> entries = ReadEntries(statement);
    if (entries.empty()) return std::nullopt;
    return std::move(entries.front());
}

std::optional<LibraryEntry> LibraryDatabase::EntryOfValues(const ProgramValues& values) {
    if (!db_) return std::nullopt;
    SqlStatement& find = Statement(kFindFingerprint);
    find.Bind(1, ProgramFingerprint(values));
    const std::optional<int64_t> id = find.Step() && find.Blob(1) == BlockBytes(values)
                                          ? std::optional(find.Int(0))
                                          : std::nullopt;
    find.Reset();
    return id ? Entry(*id) : std::nullopt;
}

std::vector<LibrarySource> LibraryDatabase::Sources(int64_t id) {
    std::vector<LibrarySource> sources;
    if (!db_) return sources;
    SqlStatement& statement = Statement(kSourcesOf);
    statement.Bind(1, id);
    while (statement.Step()) {
        sources.push_back({SourceKindOfName(statement.Text(0)).value_or(SourceKind::kImport),
                           statement.Text(1), static_cast<int>(statement.Int(2)),
                           statement.Int(3)});
    }
    statement.Reset();
    return sources;
}

std::vector<std::string> LibraryDatabase::Tags() {
    std::vector<std::string> tags;
    if (!db_) return tags;
    SqlStatement& statement = Statement(kAllTags);
    while (statement.Step())
        tags.push_back(statement.Text(0));
    statement.Reset();
    return tags;
}

int64_t LibraryDatabase::Count() {
    if (!db_) return 0;
    SqlStatement& statement = Statement(kCount);
    const int64_t count = statement.Step() ? statement.Int(0) : 0;
    statement.Reset();
    return count;
}

bool LibraryDatabase::WriteTags(int64_t id, const std::vector<std::string>& tags) {
    SqlStatement& clear = Statement(kDeleteTags);
    clear.Bind(1, id);
    if (!clear.Run() && Failed(clear)) return false;
    for (const std::string& tag : tags) {
        const std::string clean = CleanTag(tag);
        if (clean.empty()) continue;
        SqlStatement& insert = Statement(kInsertTag);
        insert.Bind(1, id).Bind(2, clean);
        if (!insert.Run() && Failed(insert)) return false;
    }
    return true;
}

bool LibraryDatabase::SetMetadata(int64_t id, const LibraryMetadata& metadata) {
    if (!db_) return false;
    Transaction transaction(*this);
    if (broken_) return {};
    SqlStatement& update = Statement(kUpdateMetadata);
    update.Bind(1, id).Bind(2, metadata.name).Bind(3, int64_t{metadata.favourite});
    update.Bind(4, metadata.comment);
    if (!update.Run() && Failed(update)) return false;
    if (sqlite3_changes(db_) == 0) {
        problem_ = "the program is no longer in the library";
        return false;
    }
    return WriteTags(id, metadata.tags) && transaction.Commit();
}

bool LibraryDatabase::MarkUsed(int64_t id) {
    if (!db_) return false;
    SqlStatement& update = Statement(kMarkUsed);
    update.Bind(1, id).Bind(2, Now());
    return update.Run() || !Failed(update);
}

std::optional<LibraryRecord> LibraryDatabase::Delete(int64_t id) {
    std::optional<LibraryEntry> entry = Entry(id);
    if (!entry) return std::nullopt;
    LibraryRecord record{std::move(*entry), Sources(id)};
    SqlStatement& remove = Statement(kDeleteProgram);
    remove.Bind(1, id);
    if (!remove.Run() && Failed(remove)) return std::nullopt;
    return record;
}

bool LibraryDatabase::Restore(const LibraryRecord& record) {
    if (!db_) return false;
    Transaction transaction(*this);
    if (broken_) return {};
    const LibraryEntry& entry = record.entry;
    int64_t id = entry.id;
    if (std::optional<LibraryEntry> again = EntryOfValues(entry.values)) {
        id = again->id;
    } else {
        const std::string block = BlockBytes(entry.values);
        SqlStatement& insert = Statement(kRestoreProgram);
        insert.Bind(1, entry.id).Bind(2, entry.fingerprint).BindBlob(3, block.data(), block.size());
        insert.Bind(4, entry.metadata.name).Bind(5, int64_t{entry.metadata.favourite});
        insert.Bind(6, entry.metadata.comment).Bind(7, entry.added).Bind(8, entry.lastUsed);
        insert.Bind(9, static_cast<int64_t>(entry.effectType));
        if (!insert.Run() && Failed(insert)) return false;
        if (!WriteTags(id, entry.metadata.tags)) return false;
    }
    for (const LibrarySource& source : record.sources) {
        if (!AddSource(id, source)) return false;
    }
    return transaction.Commit();
}
