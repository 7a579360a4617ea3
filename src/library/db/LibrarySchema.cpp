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

constexpr std::array<SchemaStep, 2> kSteps = {{{1, kVersion1}, {2, kVersion2}}};

}  // namespace

std::span<const SchemaStep> SchemaSteps() {
    return kSteps;
}

int CurrentSchemaVersion() {
    return kSteps.back().version;
}
