#include "library/BankFiles.h"

#include <cstdio>
#include <vector>

#include "library/LibraryFolder.h"
#include "library/db/LibraryExport.h"
#include "library/db/LibraryImport.h"
#include "unit/ProgramFile.h"
#include "util/FileReader.h"

namespace {

// The largest .syx file taken for a bank: 99 program messages are about 11 KB.
constexpr size_t kLargestBankSyx = 1024 * 1024;

std::optional<std::vector<LibraryEntry>> WholeBank(const BankPrograms& bank, std::string* problem) {
    std::vector<LibraryEntry> programs;
    for (size_t i = 0; i < bank.size(); ++i) {
        if (!bank[i]) {
            *problem = "Location " + std::to_string(i + 1) +
                       " holds no known program: read the bank from the Orvo first.";
            return std::nullopt;
        }
        LibraryEntry entry;
        entry.values = *bank[i];
        programs.push_back(std::move(entry));
    }
    return programs;
}

bool Put(BankPrograms& bank, int location, const ProgramValues& program, const std::string& from,
         std::string* problem) {
    if (!Bank::IsLocation(location)) return true;
    std::optional<ProgramValues>& slot = bank[static_cast<size_t>(location - 1)];
    if (slot) {
        *problem = from + " names location " + std::to_string(location) + " twice.";
        return false;
    }
    slot = program;
    return true;
}

std::optional<BankPrograms> BankOfSyx(const std::string& path, std::string* problem) {
    const std::optional<std::string> bytes = ReadWholeFile(path, kLargestBankSyx);
    if (!bytes) {
        *problem = path + " could not be read, or is too large for a bank of the Orvo.";
        return std::nullopt;
    }
    int damaged = 0;
    BankPrograms bank;
    for (const SyxProgram& program : ProgramsOfSyx(*bytes, &damaged)) {
        if (!Put(bank, program.location, program.values, path, problem)) return std::nullopt;
    }
    if (damaged > 0) {
        *problem = path + " holds " + std::to_string(damaged) +
                   " damaged program message(s); the bank was not taken.";
        return std::nullopt;
    }
    return bank;
}

// The number a program file's name begins with, read as Write all reads it.
int LeadingNumber(const std::string& name) {
    int number = 0;
    return std::sscanf(name.substr(0, 3).c_str(), "%d", &number) == 1 ? number : 0;
}

std::optional<BankPrograms> BankOfFolder(std::string folder, std::string* problem) {
    if (folder.back() != '/') folder += '/';
    BankPrograms bank;
    for (const LibraryFolder::Entry& file : LibraryFolder::ListProgramFiles(folder)) {
        const int location = LeadingNumber(file.baseName);
        if (!Bank::IsLocation(location)) continue;
        std::string reason;
        const std::optional<ProgramValues> program =
            ReadProgramFile(folder + file.fileName, &reason);
        if (!program) {
            *problem = reason;
            return std::nullopt;
        }
        if (!Put(bank, location, *program, folder, problem)) return std::nullopt;
    }
    return bank;
}

}  // namespace

bool ExportBankSyx(const BankPrograms& bank, const std::string& path, std::string* problem) {
    const auto programs = WholeBank(bank, problem);
    return programs && ExportProgramSyx(*programs, path, problem);
}

bool ExportBankFolder(const BankPrograms& bank, const std::string& folder, std::string* problem) {
    const auto programs = WholeBank(bank, problem);
    return programs && ExportProgramFolder(*programs, folder, problem);
}

std::optional<BankPrograms> ImportBank(const std::string& path, std::string* problem) {
    const std::optional<BankPrograms> bank =
        IsFolder(path) ? BankOfFolder(path, problem) : BankOfSyx(path, problem);
    if (!bank) return std::nullopt;
    for (const auto& program : *bank) {
        if (program) return bank;
    }
    *problem = path + " holds no program of the Orvo.";
    return std::nullopt;
}
