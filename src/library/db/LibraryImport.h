#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "unit/ProgramSlots.h"

class LibraryDatabase;

// What an import did; a file that could not be read is named with the reason and the import
// goes on with the next.
struct ImportReport {
    int programs = 0;
    int added = 0;
    // Programs that were in the library already: only their new source was added.
    int known = 0;
    std::vector<std::pair<std::string, std::string>> refused;
    // "12 programs, 10 new, 2 already in the library; 1 file refused"
    std::string Summary() const;
};

// Imports .prg and .syx files, and folders with everything in them (sub-folders too), in one
// transaction. Files are only read. A folder's other files are passed over; a named file that
// is neither is refused.
ImportReport ImportIntoLibrary(LibraryDatabase& database, const std::vector<std::string>& paths);

// The program name a file gives: its name without folder, leading number and ".prg"
// ("07 Fat bass.prg" gives "Fat bass"); a file that is only a number is named after its folder
// and the number ("Factory 07").
std::string ProgramNameOfFile(const std::string& path);

// The programs of the dumps and writes in .syx bytes, with the location each names. Damaged
// messages are counted in damaged.
struct SyxProgram {
    int location = 0;
    ProgramValues values{};
};
std::vector<SyxProgram> ProgramsOfSyx(const std::string& bytes, int* damaged);
