#include "library/db/LibraryImport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "library/db/LibraryDatabase.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "unit/UnitMessages.h"
#include "util/DirectoryScan.h"
#include "util/FileReader.h"

namespace {

// A .syx file of 99 programs is about 11 KB; anything far larger is no bank of the unit's.
constexpr size_t kLargestSyxFile = 16 * 1024 * 1024;
// Folders nested deeper than this are passed over (a link back up would never end).
constexpr int kDeepestFolder = 32;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool HasExtension(const std::string& path, const char* extension) {
    const std::string lower = Lower(path);
    const std::string ending = extension;
    return lower.size() > ending.size() &&
           lower.compare(lower.size() - ending.size(), ending.size(), ending) == 0;
}

std::string FileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderName(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return {};
    return FileName(path.substr(0, slash));
}

std::string Stem(const std::string& path) {
    std::string name = FileName(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

// A checksum that holds: a dump sums its bytes as signed numbers, a write as unsigned ones.
bool ChecksumHolds(const std::string& message) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(message.data());
    if (IsProgramDump(bytes, message.size())) return DumpChecksumMatches(bytes, message.size());
    const std::optional<ProgramBlock> block = ProgramBlockOf(bytes, message.size());
    return block && ProgramChecksum(*block) ==
                        Checksum7{bytes[kChecksumHighIndex], bytes[kChecksumLowIndex]};
}

class Importer {
public:
    explicit Importer(LibraryDatabase& database) : database_(database) {}

    void Path(const std::string& path, int depth) {
        if (IsFolder(path)) {
            Folder(path, depth);
        } else if (HasExtension(path, ".syx")) {
            Syx(path);
        } else if (HasExtension(path, ".prg") || depth == 0) {
            Prg(path);
        }
    }

    ImportReport report;

private:
    void Folder(const std::string& folder, int depth) {
        if (depth > kDeepestFolder) return;
        std::vector<std::string> entries;
        DirectoryScan scan;
        for (bool more = scan.Start(folder); more; more = scan.Advance()) {
            const std::string& name = scan.EntryName();
            if (name != "." && name != "..") entries.push_back(scan.Folder() + "/" + name);
        }
        std::sort(entries.begin(), entries.end());
        for (const std::string& entry : entries)
            Path(entry, depth + 1);
    }

    void Prg(const std::string& path) {
        std::string reason;
        const std::optional<ProgramValues> values = ReadProgramFile(path, &reason);
        if (!values) {
            report.refused.emplace_back(path, reason);
            return;
        }
        Add(*values, ProgramNameOfFile(path), path, 0);
    }

    void Syx(const std::string& path) {
        const std::optional<std::string> bytes = ReadWholeFile(path, kLargestSyxFile);
        if (!bytes) {
            report.refused.emplace_back(path, path + " cannot be read or is too large.");
            return;
        }
        int damaged = 0;
        const std::vector<SyxProgram> programs = ProgramsOfSyx(*bytes, &damaged);
        char number[8];
        for (const SyxProgram& program : programs) {
            std::snprintf(number, sizeof number, " %02d", program.location);
            Add(program.values, Stem(path) + number, path, program.location);
        }
        if (damaged > 0) {
            report.refused.emplace_back(path, path + " holds " + std::to_string(damaged) +
                                                  " damaged program message" +
                                                  (damaged == 1 ? "" : "s") + ", which " +
                                                  (damaged == 1 ? "was" : "were") + " left out.");
        } else if (programs.empty()) {
            report.refused.emplace_back(path, path + " holds no program of the unit.");
        }
    }

    void Add(const ProgramValues& values, const std::string& name, const std::string& path,
             int location) {
        const auto added = database_.AddProgram(
            values, name, {SourceKind::kImport, path, location, database_.Now()});
        if (!added) {
            report.refused.emplace_back(path, path + " could not be added to the library (" +
                                                  database_.LastProblem() + ").");
            return;
        }
        ++report.programs;
        ++(added->isNew ? report.added : report.known);
    }

    LibraryDatabase& database_;
};

}  // namespace

std::string ImportReport::Summary() const {
    std::string text = std::to_string(programs) + (programs == 1 ? " program, " : " programs, ") +
                       std::to_string(added) + " new, " + std::to_string(known) +
                       " already in the library";
    if (!refused.empty()) {
        text += "; " + std::to_string(refused.size()) +
                (refused.size() == 1 ? " file refused" : " files refused");
    }
    return text;
}

ImportReport ImportIntoLibrary(LibraryDatabase& database, const std::vector<std::string>& paths) {
    Importer importer(database);
    LibraryDatabase::Transaction transaction(database);
    for (const std::string& path : paths) {
        // Sources name files the same way from wherever the import was started.
        std::error_code ignored;
        const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
        importer.Path(absolute.empty() ? path : absolute.lexically_normal().string(), 0);
    }
    if (!transaction.Commit()) {
        // Nothing was kept: every program counted above is undone with the transaction.
        ImportReport failed;
        failed.refused.emplace_back(database.Path(),
                                    "The import could not be written to the "
                                    "library (" +
                                        database.LastProblem() + ").");
        return failed;
    }
    return importer.report;
}

std::string ProgramNameOfFile(const std::string& path) {
    const std::string stem = Stem(path);
    size_t start = 0;
    while (start < stem.size() && std::isdigit(static_cast<unsigned char>(stem[start])))
        ++start;
    const size_t digits = start;
    while (start < stem.size() &&
           (stem[start] == ' ' || stem[start] == '_' || stem[start] == '-' || stem[start] == '.')) {
        ++start;
    }
    if (start < stem.size()) return stem.substr(start);
    const std::string folder = FolderName(path);
    if (digits == 0 || folder.empty()) return stem;
    return folder + " " + stem.substr(0, digits);
}

std::vector<SyxProgram> ProgramsOfSyx(const std::string& bytes, int* damaged) {
    std::vector<SyxProgram> programs;
    *damaged = 0;
    size_t start = bytes.find('\xF0');
    while (start != std::string::npos) {
        size_t end = start + 1;
        while (end < bytes.size() && static_cast<uint8_t>(bytes[end]) < 0x80)
            ++end;
        const bool whole = end < bytes.size() && static_cast<uint8_t>(bytes[end]) == 0xF7;
        const std::string message = bytes.substr(start, whole ? end - start + 1 : end - start);
        const auto* raw = reinterpret_cast<const uint8_t*>(message.data());
        const bool isProgram =
            message.size() > kCodeIndex && HasUnitHeader(raw, message.size(), kFamilyProgram) &&
            (raw[kCodeIndex] == kCodeProgramDump || raw[kCodeIndex] == kCodeProgramWrite);
        if (isProgram) {
            if (whole && message.size() == kProgramMessageSize && ChecksumHolds(message)) {
                programs.push_back({raw[kProgramNumberIndex],
                                    UnitBytesToProgramSlots(*ProgramBlockOf(raw, message.size()))});
            } else {
                ++*damaged;
            }
        }
        start = bytes.find('\xF0', whole ? end + 1 : end);
    }
    return programs;
}
