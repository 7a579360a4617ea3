#include "library/db/LibraryExport.h"

#include <cstdio>

#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "unit/UnitMessages.h"
#include "util/AtomicFile.h"
#include "util/FileReader.h"
#include "util/FileWriter.h"

bool ExportProgramFolder(const std::vector<LibraryEntry>& programs, const std::string& folder,
                         std::string* problem) {
    std::string why;
    if (!IsFolder(folder) && !MakeFolder(folder, &why)) {
        *problem = "The folder " + folder + " could not be created (" + why + ").";
        return false;
    }
    for (size_t i = 0; i < programs.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/%02zu.prg", i + 1);
        const std::string path = folder + name;
        if (!WriteProgramFile(path, programs[i].values, &why)) {
            *problem = "The program could not be saved to " + path + " (" + why + ").";
            return false;
        }
    }
    return true;
}

bool ExportProgramSyx(const std::vector<LibraryEntry>& programs, const std::string& path,
                      std::string* problem) {
    if (programs.size() > kLargestSyxExport) {
        *problem = "A .syx file holds at most " + std::to_string(kLargestSyxExport) +
                   " programs, one for each location of the unit; " +
                   std::to_string(programs.size()) + " were chosen.";
        return false;
    }
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < programs.size(); ++i) {
        const auto write =
            BuildProgramWrite(static_cast<int>(i + 1), ProgramSlotsToUnitBytes(programs[i].values));
        if (write) bytes.insert(bytes.end(), write->begin(), write->end());
    }
    std::string why;
    if (!WriteFileAtomically(path, bytes.data(), bytes.size(), &why)) {
        *problem = "The programs could not be saved to " + path + " (" + why + ").";
        return false;
    }
    return true;
}
