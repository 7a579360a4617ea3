#include "library/db/LibrarySchema.h"

#include <array>

namespace {

// Ids are never given twice (AUTOINCREMENT), so a deleted program comes back under its own id
// on undo. The block holds the 104 bytes the unit stores, the fingerprint is its key (see
// ProgramFingerprint); times are seconds since 1970.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE programs (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    fingerprint TEXT NOT NULL UNIQUE,
    block BLOB NOT NULL,
    name TEXT NOT NULL,
    favourite INTEGER NOT NULL DEFAULT 0,
    comment TEXT NOT NULL DEFAULT '',
    added INTEGER NOT NULL,
    last_used INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE tags (
    program INTEGER NOT NULL REFERENCES programs(id) ON DELETE CASCADE,
    tag TEXT NOT NULL,
    PRIMARY KEY (program, tag)
);
CREATE TABLE sources (
    id INTEGER PRIMARY KEY,
    program INTEGER NOT NULL REFERENCES programs(id) ON DELETE CASCADE,
    kind TEXT NOT NULL,
    path TEXT NOT NULL DEFAULT '',
    location INTEGER NOT NULL DEFAULT 0,
    at INTEGER NOT NULL
);
)sql";

// The effect type as a column of its own for the filter, taken from byte 90 of the block
// (0..3; instr finds the byte among the four), and indexes for a program's sources and tags.
constexpr const char* kVersion2 = R"sql(
ALTER TABLE programs ADD COLUMN effect_type INTEGER NOT NULL DEFAULT 0;
UPDATE programs SET effect_type = max(0, instr(X'00010203', substr(block, 90, 1)) - 1);
CREATE INDEX sources_program ON sources(program);
CREATE INDEX tags_tag ON tags(tag COLLATE NOCASE);
)sql";

// The unit's bank: for each location the program the library knows the unit holds there (from
// the last read or verified write, and when), and the one the user plans to put there; and
// snapshots of whole banks. Blocks are the unit's 104 bytes, kept here and not as references to
// programs, so that deleting a program from the library loses no backup of the unit.
constexpr const char* kVersion3 = R"sql(
CREATE TABLE bank_locations (
    location INTEGER PRIMARY KEY CHECK (location BETWEEN 1 AND 99),
    known BLOB,
    known_at INTEGER NOT NULL DEFAULT 0,
    planned BLOB
);
CREATE TABLE bank_snapshots (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    taken INTEGER NOT NULL,
    reason TEXT NOT NULL
);
CREATE TABLE bank_snapshot_programs (
    snapshot INTEGER NOT NULL REFERENCES bank_snapshots(id) ON DELETE CASCADE,
    location INTEGER NOT NULL CHECK (location BETWEEN 1 AND 99),
    block BLOB NOT NULL,
    PRIMARY KEY (snapshot, location)
);
)sql";

constexpr std::array<SchemaStep, 3> kSteps = {{{1, kVersion1}, {2, kVersion2}, {3, kVersion3}}};

}  // namespace

std::span<const SchemaStep> SchemaSteps() {
    return kSteps;
}

int CurrentSchemaVersion() {
    return kSteps.back().version;
}
