#include "unit/ProgramFolder.h"

#include <algorithm>
#include <cstdio>

#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "unit/VirtualOrvo.h"
#include "util/DirectoryScan.h"

namespace {

// 1..99 from a name such as "07 Acid.prg"; 0 for a name that names no location.
int LocationOfName(const std::string& name) {
    if (name.size() < 6 || name.compare(name.size() - 4, 4, ".prg") != 0) return 0;
    if (name[0] < '0' || name[0] > '9' || name[1] < '0' || name[1] > '9') return 0;
    return (name[0] - '0') * 10 + (name[1] - '0');
}

std::string Slash(const std::string& folder) {
    return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

}  // namespace

int LoadProgramFolder(const std::string& folder, VirtualOrvo& unit,
                      std::vector<std::string>* problems) {
    std::vector<std::string> names;
    DirectoryScan scan;
    for (bool more = scan.Start(folder); more; more = scan.Advance()) {
        if (!scan.EntryIsFolder() && LocationOfName(scan.EntryName()) > 0) {
            names.push_back(scan.EntryName());
        }
    }
    std::sort(names.begin(), names.end());
    std::vector<bool> taken(kLastProgramNumber + 1, false);
    int loaded = 0;
    for (const std::string& name : names) {
        const int location = LocationOfName(name);
        if (taken[static_cast<size_t>(location)]) continue;
        std::string reason;
        const std::optional<ProgramValues> values = ReadProgramFile(Slash(folder) + name, &reason);
        if (!values) {
            if (problems) problems->push_back(name + ": " + reason);
            continue;
        }
        unit.SetProgram(location, ProgramSlotsToUnitBytes(*values));
        taken[static_cast<size_t>(location)] = true;
        ++loaded;
    }
    return loaded;
}

bool SaveFolderProgram(const std::string& folder, int location, const ProgramBlock& block) {
    if (location < kFirstProgramNumber || location > kLastProgramNumber) return false;
    char name[16];
    std::snprintf(name, sizeof name, "%02d.prg", location);
    return WriteProgramFile(Slash(folder) + name, UnitBytesToProgramSlots(block));
}

bool SaveProgramFolder(const std::string& folder, const VirtualOrvo& unit) {
    bool allWritten = true;
    for (int location = kFirstProgramNumber; location <= kLastProgramNumber; ++location) {
        allWritten = SaveFolderProgram(folder, location, unit.Program(location)) && allWritten;
    }
    return allWritten;
}
