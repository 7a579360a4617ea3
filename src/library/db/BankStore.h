#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/db/Bank.h"

class LibraryDatabase;

// A bank as it was at one moment: after a read, or before a send overwrote it.
struct BankSnapshotInfo {
    int64_t id = 0;
    int64_t taken = 0;  // seconds since 1970
    std::string reason;
    int programs = 0;  // locations it holds a program for
};

// The bank's part of the library: what each location holds and is planned to hold, and the
// snapshots. Works on an opened library; every change is one transaction.
class BankStore {
public:
    explicit BankStore(LibraryDatabase& database) : database_(database) {}

    // The bank as the library last knew it; nothing when the library is not open.
    std::optional<Bank> Load();
    bool SaveKnown(int location, const ProgramValues& program, int64_t at);
    bool ForgetKnown(int location);
    bool SavePlan(const Bank& bank);
    // Keeps the programs (at least one) as a snapshot taken now; its id.
    std::optional<int64_t> SaveSnapshot(const std::string& reason, const BankPrograms& programs);
    // Newest first.
    std::vector<BankSnapshotInfo> Snapshots();
    std::optional<BankPrograms> Snapshot(int64_t id);

private:
    LibraryDatabase& database_;
};
