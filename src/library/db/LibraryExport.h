#pragma once

#include <string>
#include <vector>

#include "library/db/LibraryEntry.h"

// The most programs one .syx file takes: one program write for each location of the unit.
constexpr size_t kLargestSyxExport = 99;

// Writes the programs as 01.prg, 02.prg, ... into folder (made when missing), in their order,
// ready for Write all. False when a file could not be written, with the reason in problem.
bool ExportProgramFolder(const std::vector<LibraryEntry>& programs, const std::string& folder,
                         std::string* problem);

// Writes the programs as one .syx file of program writes for locations 1, 2, ...; at most
// kLargestSyxExport programs. The file is replaced atomically.
bool ExportProgramSyx(const std::vector<LibraryEntry>& programs, const std::string& path,
                      std::string* problem);
