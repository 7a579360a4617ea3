#include "library/db/BankStore.h"

#include <sqlite3.h>

#include <algorithm>

#include "library/db/LibraryDatabase.h"
#include "library/db/SqlStatement.h"
#include "unit/ProgramConversion.h"

namespace {

constexpr const char* kLoadLocations =
    "SELECT location, known, known_at, planned FROM bank_locations ORDER BY location";
constexpr const char* kSaveKnown =
    "INSERT INTO bank_locations (location, known, known_at) VALUES (?1, ?2, ?3) "
    "ON CONFLICT(location) DO UPDATE SET known = ?2, known_at = ?3";
constexpr const char* kForgetKnown =
    "UPDATE bank_locations SET known = NULL, known_at = 0 WHERE location = ?1";
constexpr const char* kSavePlanned =
    "INSERT INTO bank_locations (location, planned) VALUES (?1, ?2) "
    "ON CONFLICT(location) DO UPDATE SET planned = ?2";
constexpr const char* kInsertSnapshot =
    "INSERT INTO bank_snapshots (taken, reason) VALUES (?1, ?2)";
constexpr const char* kInsertSnapshotProgram =
    "INSERT INTO bank_snapshot_programs (snapshot, location, block) VALUES (?1, ?2, ?3)";
constexpr const char* kListSnapshots =
    "SELECT s.id, s.taken, s.reason, (SELECT count(*) FROM bank_snapshot_programs WHERE "
    "snapshot = s.id) FROM bank_snapshots s ORDER BY s.taken DESC, s.id DESC";
constexpr const char* kSnapshotExists = "SELECT 1 FROM bank_snapshots WHERE id = ?1";
constexpr const char* kSnapshotPrograms =
    "SELECT location, block FROM bank_snapshot_programs WHERE snapshot = ?1";

// The unit's 104 bytes of a program, as the library keeps them.
std::string BlockText(const ProgramValues& program) {
    const ProgramBlock block = ProgramSlotsToUnitBytes(program);
    return std::string(block.begin(), block.end());
}

// A kept block; nothing for a NULL column or one of another length.
std::optional<ProgramValues> ProgramOfBlock(const std::string& bytes) {
    ProgramBlock block{};
    if (bytes.size() != block.size()) return std::nullopt;
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return UnitBytesToProgramSlots(block);
}

}  // namespace

std::optional<Bank> BankStore::Load() {
    if (!database_.IsOpen()) return std::nullopt;
    Bank bank;
    BankPrograms planned;
    SqlStatement& rows = database_.Statement(kLoadLocations);
    while (rows.Step()) {
        const int location = static_cast<int>(rows.Int(0));
        if (!Bank::IsLocation(location)) continue;
        if (const auto known = ProgramOfBlock(rows.Blob(1)))
            bank.SetKnown(location, *known, rows.Int(2));
        planned[static_cast<size_t>(location - 1)] = ProgramOfBlock(rows.Blob(3));
    }
    if (database_.Failed(rows)) return std::nullopt;
    bank.StartFrom(planned);
    return bank;
}

bool BankStore::SaveKnown(int location, const ProgramValues& program, int64_t at) {
    if (!database_.IsOpen() || !Bank::IsLocation(location)) return false;
    SqlStatement& save = database_.Statement(kSaveKnown);
    const std::string block = BlockText(program);
    save.Bind(1, location).BindBlob(2, block.data(), block.size()).Bind(3, at);
    return save.Run() || !database_.Failed(save);
}

bool BankStore::ForgetKnown(int location) {
    if (!database_.IsOpen()) return false;
    SqlStatement& forget = database_.Statement(kForgetKnown);
    forget.Bind(1, location);
    return forget.Run() || !database_.Failed(forget);
}

bool BankStore::SavePlan(const Bank& bank) {
    if (!database_.IsOpen()) return false;
    LibraryDatabase::Transaction transaction(database_);
    for (int location = kFirstProgramNumber; location <= kLastProgramNumber; ++location) {
        SqlStatement& save = database_.Statement(kSavePlanned);
        save.Bind(1, location);
        const std::optional<ProgramValues>& planned = bank.At(location).planned;
        // An unbound parameter is NULL: nothing planned.
        const std::string block = planned ? BlockText(*planned) : std::string();
        if (planned) save.BindBlob(2, block.data(), block.size());
        if (!save.Run() && database_.Failed(save)) return false;
    }
    return transaction.Commit();
}

std::optional<int64_t> BankStore::SaveSnapshot(const std::string& reason,
                                               const BankPrograms& programs) {
    if (!database_.IsOpen()) return std::nullopt;
    if (std::none_of(programs.begin(), programs.end(), [](const auto& p) { return p.has_value(); }))
        return std::nullopt;
    LibraryDatabase::Transaction transaction(database_);
    SqlStatement& snapshot = database_.Statement(kInsertSnapshot);
    snapshot.Bind(1, database_.Now()).Bind(2, reason);
    if (!snapshot.Run() && database_.Failed(snapshot)) return std::nullopt;
    const int64_t id = sqlite3_last_insert_rowid(database_.db_);
    for (size_t i = 0; i < programs.size(); ++i) {
        if (!programs[i]) continue;
        SqlStatement& insert = database_.Statement(kInsertSnapshotProgram);
        const std::string block = BlockText(*programs[i]);
        insert.Bind(1, id)
            .Bind(2, static_cast<int64_t>(i + 1))
            .BindBlob(3, block.data(), block.size());
        if (!insert.Run() && database_.Failed(insert)) return std::nullopt;
    }
    if (!transaction.Commit()) return std::nullopt;
    return id;
}

std::vector<BankSnapshotInfo> BankStore::Snapshots() {
    std::vector<BankSnapshotInfo> snapshots;
    if (!database_.IsOpen()) return snapshots;
    SqlStatement& rows = database_.Statement(kListSnapshots);
    while (rows.Step())
        snapshots.push_back(
            {rows.Int(0), rows.Int(1), rows.Text(2), static_cast<int>(rows.Int(3))});
    database_.Failed(rows);
    return snapshots;
}

std::optional<BankPrograms> BankStore::Snapshot(int64_t id) {
    if (!database_.IsOpen()) return std::nullopt;
    SqlStatement& exists = database_.Statement(kSnapshotExists);
    exists.Bind(1, id);
    if (!exists.Step()) return std::nullopt;
    BankPrograms programs;
    SqlStatement& rows = database_.Statement(kSnapshotPrograms);
    rows.Bind(1, id);
    while (rows.Step()) {
        const int location = static_cast<int>(rows.Int(0));
        if (Bank::IsLocation(location))
            programs[static_cast<size_t>(location - 1)] = ProgramOfBlock(rows.Blob(1));
    }
    if (database_.Failed(rows)) return std::nullopt;
    return programs;
}
