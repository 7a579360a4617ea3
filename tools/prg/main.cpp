// orvo-prg: the unit's program files and messages for people who script their library.

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "LibraryCommands.h"
#include "SyxMessages.h"
#include "unit/FirmwareMessages.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "unit/ProgramText.h"
#include "unit/UnitMessages.h"
#include "util/AtomicFile.h"
#include "util/FileReader.h"
#include "util/FileWriter.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitUsage = 2;
// A .syx file of the unit's messages is at most a few hundred KB.
constexpr size_t kLargestSyxFile = 16 * 1024 * 1024;

constexpr const char* kUsage =
    "Usage: orvo-prg COMMAND ...\n"
    "Converts the Orvo's program files and system-exclusive messages.\n"
    "\n"
    "  orvo-prg to-syx FILE.prg --program N [-o OUT]\n"
    "      the program write message that stores FILE.prg in location N (1..99); written to\n"
    "      OUT, to FILE.syx without -o, to standard output with -o -. FILE.prg must hold a\n"
    "      whole program: 104 value lines, each beginning with a number from -64 to 127\n"
    "  orvo-prg from-syx FILE.syx [-o OUT]\n"
    "      the .prg text of each program dump or program write in FILE.syx; one program goes\n"
    "      to standard output without -o; several need -o FOLDER, which gets NN.prg files\n"
    "  orvo-prg firmware IMAGE [-o OUT]\n"
    "      the firmware data message for IMAGE (at most 80000 bytes); to IMAGE.syx without -o\n"
    "  orvo-prg check FILE.syx\n"
    "      says what each message of FILE.syx is; exits 1 unless all are well-formed\n"
    "  orvo-prg library import PATH... [--db FILE]\n"
    "      adds the programs of .prg and .syx files and of folders (with their sub-folders)\n"
    "      to the editor's program library; the files are only read\n"
    "  orvo-prg library list [--search TEXT] [--favourites] [--db FILE]\n"
    "      one program a line: name, tags (separated by commas) and fingerprint, by tabs\n"
    "  orvo-prg library export [--search TEXT] [--favourites] -o FOLDER|FILE.syx [--db FILE]\n"
    "      the programs as 01.prg, 02.prg, ... in FOLDER, or as program writes in FILE.syx\n"
    "      (at most 99)\n"
    "\n"
    "The library is $XDG_DATA_HOME/OrvodyneEditor/library.sqlite (~/.local/share/...) unless\n"
    "--db names another file.\n"
    "\n"
    "Exit status: 0 success, 1 bad input (the reason on standard error), 2 wrong usage.\n";

struct Arguments {
    std::string command;
    std::string input;
    std::string output;
    bool hasOutput = false;
    int program = 0;
    bool hasProgram = false;
};

int Usage(const char* complaint) {
    std::fprintf(stderr, "orvo-prg: %s (see orvo-prg --help)\n", complaint);
    return kExitUsage;
}

int Fail(const std::string& reason) {
    std::fprintf(stderr, "orvo-prg: %s\n", reason.c_str());
    return kExitBadInput;
}

bool IsCommand(const std::string& name) {
    return name == "to-syx" || name == "from-syx" || name == "firmware" || name == "check";
}

// Reads the command line; an empty complaint means it is good.
std::string ParseArguments(int argc, char** argv, Arguments& a) {
    if (argc < 2) return "no command given";
    a.command = argv[1];
    if (!IsCommand(a.command)) return "unknown command " + a.command;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" || arg == "--program") {
            if (i + 1 >= argc) return arg + " needs a value";
            const std::string value = argv[++i];
            if (arg == "-o") {
                a.output = value;
                a.hasOutput = true;
                continue;
            }
            char* end = nullptr;
            const long n = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || !IsProgramNumber(static_cast<int>(n)) || n > 99) {
                return "--program must be a number from 1 to 99";
            }
            a.program = static_cast<int>(n);
            a.hasProgram = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else if (a.input.empty()) {
            a.input = arg;
        } else {
            return "more than one input file";
        }
    }
    if (a.input.empty()) return a.command + " needs an input file";
    if (a.command == "to-syx" && !a.hasProgram) return "to-syx needs --program N";
    if (a.command != "to-syx" && a.hasProgram) return "--program belongs to to-syx";
    if (a.command == "check" && a.hasOutput) return "check writes no file";
    return "";
}

// The input path with its extension (if any) replaced.
std::string WithExtension(const std::string& path, const char* extension) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? path.substr(0, dot) : path) + extension;
}

// Whether path names something a file cannot be put in place of: a device such as /dev/null, a
// FIFO, or a name for an open descriptor such as /dev/stdout. Those are written to as they are.
bool WritesInPlace(const std::string& path) {
    if (path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0) return true;
    return IsSpecialFile(path);
}

bool WriteInPlace(const std::string& path, const void* data, size_t size, std::string* problem) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        *problem = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(data, 1, size, out) == size;
    if (!written) *problem = std::strerror(errno);
    if (std::fclose(out) != 0 && written) {
        *problem = std::strerror(errno);
        return false;
    }
    return written;
}

bool WriteOutput(const std::string& path, const void* data, size_t size, std::string* problem) {
    if (path == "-") {
        if (std::fwrite(data, 1, size, stdout) == size && std::fflush(stdout) == 0) return true;
        *problem = std::strerror(errno);
        return false;
    }
    if (WritesInPlace(path)) return WriteInPlace(path, data, size, problem);
    return WriteFileAtomically(path, data, size, problem);
}

int CannotWrite(const std::string& path, const std::string& problem) {
    return Fail("cannot write " + path + ": " + problem);
}

std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path, size_t largest,
                                              std::string* reason) {
    if (!FileExists(path) || IsFolder(path)) {
        *reason = path + " cannot be opened";
        return std::nullopt;
    }
    const std::optional<std::string> text = ReadWholeFile(path, largest);
    if (!text) {
        *reason = path + " cannot be read or is too large";
        return std::nullopt;
    }
    return std::vector<uint8_t>(text->begin(), text->end());
}

int ToSyx(const Arguments& a) {
    // The editor's own reader: a file it refuses is refused here, with the same reason.
    std::string reason;
    const std::optional<ProgramValues> values = ReadProgramFile(a.input, &reason);
    if (!values) return Fail(reason);
    const std::optional<std::vector<uint8_t>> write =
        BuildProgramWrite(a.program, ProgramSlotsToUnitBytes(*values));
    const std::string output = a.hasOutput ? a.output : WithExtension(a.input, ".syx");
    std::string problem = "no program write for this location";
    if (!write || !WriteOutput(output, write->data(), write->size(), &problem)) {
        return CannotWrite(output, problem);
    }
    return kExitOk;
}

// The programs of a .syx file as (program number, .prg text); refusals go to standard error.
int ProgramsOf(const SyxContents& contents, std::vector<std::pair<int, std::string>>& programs) {
    int refused = 0;
    for (size_t i = 0; i < contents.messages.size(); ++i) {
        const std::vector<uint8_t>& message = contents.messages[i];
        const SyxDescription d = DescribeSyx(message);
        if (!IsProgramMessage(d)) continue;
        if (!d.wellFormed) {
            std::fprintf(stderr, "orvo-prg: message %zu refused: %s\n", i + 1, d.text.c_str());
            ++refused;
            continue;
        }
        const ProgramBlock block = *ProgramBlockOf(message.data(), message.size());
        programs.emplace_back(d.program, FormatProgramText(UnitBytesToProgramSlots(block)));
    }
    return refused;
}

int FromSyx(const Arguments& a) {
    std::string reason;
    const auto bytes = ReadBytes(a.input, kLargestSyxFile, &reason);
    if (!bytes) return Fail(reason);
    std::vector<std::pair<int, std::string>> programs;
    const int refused = ProgramsOf(SplitSyx(*bytes), programs);
    if (programs.empty() && refused == 0) return Fail(a.input + " holds no program dump or write");
    const bool toStdout = !a.hasOutput || a.output == "-";
    if (toStdout && programs.size() > 1) {
        // Program texts one after another would read as one damaged program.
        return Usage((a.input + " holds " + std::to_string(programs.size()) +
                      " programs: give -o FOLDER to write them as NN.prg files")
                         .c_str());
    }
    const bool toFolder = !toStdout && programs.size() > 1;
    std::string folderProblem;
    if (toFolder && !MakeFolder(a.output, &folderProblem))
        return CannotWrite(a.output, folderProblem);
    for (const auto& [program, text] : programs) {
        std::string path = a.hasOutput ? a.output : "-";
        if (toFolder) {
            char name[16];
            std::snprintf(name, sizeof name, "/%02d.prg", program);
            path += name;
        }
        std::string problem;
        if (!WriteOutput(path, text.data(), text.size(), &problem))
            return CannotWrite(path, problem);
    }
    return refused > 0 ? kExitBadInput : kExitOk;
}

int Firmware(const Arguments& a) {
    const std::optional<int64_t> size = RegularFileSize(a.input);
    if (size && static_cast<uint64_t>(*size) > kLargestFirmwareImage) {
        return Fail(a.input + " is too large (" + std::to_string(*size) + " bytes, at most " +
                    std::to_string(kLargestFirmwareImage) + ")");
    }
    std::string reason;
    const auto image = ReadBytes(a.input, kLargestFirmwareImage, &reason);
    if (!image) {
        if (FileExists(a.input) && !IsFolder(a.input)) {
            return Fail("This is not a valid firmware file!");
        }
        return Fail(reason);
    }
    const auto message = BuildFirmwareData(image->data(), image->size());
    if (!message) return Fail("This is not a valid firmware file!");
    if (const std::optional<std::string> change =
            FirmwareTailChange(image->data(), image->size())) {
        std::fprintf(stderr, "orvo-prg: %s: %s\n", a.input.c_str(), change->c_str());
    }
    const std::string output = a.hasOutput ? a.output : WithExtension(a.input, ".syx");
    std::string problem;
    if (!WriteOutput(output, message->data(), message->size(), &problem)) {
        return CannotWrite(output, problem);
    }
    return kExitOk;
}

int Check(const Arguments& a) {
    std::string reason;
    const auto bytes = ReadBytes(a.input, kLargestSyxFile, &reason);
    if (!bytes) return Fail(reason);
    const SyxContents contents = SplitSyx(*bytes);
    bool allGood = contents.problems.empty() && !contents.messages.empty();
    for (size_t i = 0; i < contents.messages.size(); ++i) {
        const SyxDescription d = DescribeSyx(contents.messages[i]);
        std::printf("%zu: %s%s\n", i + 1, d.text.c_str(), d.wellFormed ? "" : " (not well-formed)");
        allGood = allGood && d.wellFormed;
    }
    for (const std::string& problem : contents.problems)
        std::printf("%s\n", problem.c_str());
    if (contents.messages.empty()) {
        return Fail(a.input + (contents.problems.empty() ? " holds no system-exclusive message"
                                                         : ": " + contents.problems.front()));
    }
    if (!allGood) return Fail(a.input + " is not made of well-formed messages of the unit");
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (argc >= 2 && std::strcmp(argv[1], "library") == 0) {
        return RunLibraryCommand(argc - 2, argv + 2);
    }
    Arguments arguments;
    const std::string complaint = ParseArguments(argc, argv, arguments);
    if (!complaint.empty()) return Usage(complaint.c_str());
    if (arguments.command == "to-syx") return ToSyx(arguments);
    if (arguments.command == "from-syx") return FromSyx(arguments);
    if (arguments.command == "firmware") return Firmware(arguments);
    return Check(arguments);
}
