#pragma once

#include <optional>
#include <string>

#include "library/db/Bank.h"

// A bank as files: one .syx file of a program write for each location, in order, or a folder of
// 01.prg .. 99.prg, the folder Write all sends and Save all fills. Every location must hold a
// known program; the problem names the first that does not.
bool ExportBankSyx(const BankPrograms& bank, const std::string& path, std::string* problem);
bool ExportBankFolder(const BankPrograms& bank, const std::string& folder, std::string* problem);

// The bank a .syx file or a folder of numbered program files holds, location by location; a
// location it has nothing for stays empty. Nothing, with the reason in problem, when the file is
// damaged, names a location twice or holds no program at all.
std::optional<BankPrograms> ImportBank(const std::string& path, std::string* problem);
