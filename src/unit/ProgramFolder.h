#pragma once

#include <string>
#include <vector>

#include "unit/UnitMessages.h"

class VirtualOrvo;

// The virtual unit's 99 programs as a folder of program files, one per location, named by the
// location's two digits: "01.prg" to "99.prg". Other files are left alone.

// Loads every "NN....prg" file of the folder into location NN (the first by name when several
// share a number). Returns the number loaded; each file that could not be used adds a line to
// problems.
int LoadProgramFolder(const std::string& folder, VirtualOrvo& unit,
                      std::vector<std::string>* problems = nullptr);

// Writes one program as "NN.prg" (NN its location, 1..99), replaced atomically; false when it
// could not be written.
[[nodiscard]] bool SaveFolderProgram(const std::string& folder, int location,
                                     const ProgramBlock& block);

// Writes all 99 programs as "01.prg" .. "99.prg", each replaced atomically; false when one could
// not be written (the others are still written).
[[nodiscard]] bool SaveProgramFolder(const std::string& folder, const VirtualOrvo& unit);
