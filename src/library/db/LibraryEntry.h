#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "unit/ProgramSlots.h"

// Where a program of the library came from.
enum class SourceKind { kImport, kLoad, kSave, kUnit, kPanel };

struct LibrarySource {
    SourceKind kind = SourceKind::kImport;
    // The file it was imported, loaded or saved from; empty for the unit and the panel.
    std::string path;
    // The unit's program location 1..99 it was read from (or the location a .syx dump names);
    // 0 for none.
    int location = 0;
    // Seconds since 1970.
    int64_t at = 0;
    bool operator==(const LibrarySource&) const = default;
};

// What the user may change about a program.
struct LibraryMetadata {
    std::string name;
    std::vector<std::string> tags;
    bool favourite = false;
    std::string comment;
    bool operator==(const LibraryMetadata&) const = default;
};

// One program of the library: one distinct set of 104 values.
struct LibraryEntry {
    int64_t id = 0;
    std::string fingerprint;
    ProgramValues values{};
    LibraryMetadata metadata;
    int effectType = 0;
    int64_t added = 0;
    // 0 when never used.
    int64_t lastUsed = 0;
};

// An entry with all it holds, as a deletion keeps it for undo.
struct LibraryRecord {
    LibraryEntry entry;
    std::vector<LibrarySource> sources;
};

enum class LibrarySort { kName, kAdded, kLastUsed, kLikeness };

struct LibraryQuery {
    // Words that must each appear in the name, a tag or the comment (letter case aside).
    std::string text;
    bool favouritesOnly = false;
    // Only programs carrying this tag; empty for all.
    std::string tag;
    // Only programs of this effect type 0..3; -1 for all.
    int effectType = -1;
    LibrarySort sort = LibrarySort::kName;
    // The program that kLikeness measures against; without one that sort is by name.
    std::optional<ProgramValues> likeness;
};

const char* SourceKindName(SourceKind kind);
std::optional<SourceKind> SourceKindOfName(const std::string& name);
