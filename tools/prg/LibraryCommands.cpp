#include "LibraryCommands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "library/db/LibraryDatabase.h"
#include "library/db/LibraryExport.h"
#include "library/db/LibraryImport.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitUsage = 2;

struct LibraryArguments {
    std::string command;
    std::string database;
    std::string search;
    std::string output;
    bool favourites = false;
    std::vector<std::string> paths;
};

int Usage(const std::string& complaint) {
    std::fprintf(stderr, "orvo-prg: %s (see orvo-prg --help)\n", complaint.c_str());
    return kExitUsage;
}

int Fail(const std::string& reason) {
    std::fprintf(stderr, "orvo-prg: %s\n", reason.c_str());
    return kExitBadInput;
}

// An empty complaint means the command line is good.
std::string Parse(int argc, char** argv, LibraryArguments& a) {
    if (argc < 1) return "library needs import, list or export";
    a.command = argv[0];
    if (a.command != "import" && a.command != "list" && a.command != "export") {
        return "unknown library command " + a.command;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--db" || arg == "--search" || arg == "-o") {
            if (i + 1 >= argc) return arg + " needs a value";
            std::string& value = arg == "--db" ? a.database : arg == "-o" ? a.output : a.search;
            value = argv[++i];
        } else if (arg == "--favourites") {
            a.favourites = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else {
            a.paths.push_back(arg);
        }
    }
    const bool importing = a.command == "import";
    if (importing && a.paths.empty()) return "library import needs a file or folder";
    if (!importing && !a.paths.empty()) return "library " + a.command + " takes no file";
    if (importing && (!a.search.empty() || a.favourites)) return "import takes no --search";
    if ((a.command == "export") != !a.output.empty()) {
        return a.command == "export" ? "library export needs -o FOLDER or -o FILE.syx"
                                     : "-o belongs to library export";
    }
    return "";
}

bool EndsWithSyx(const std::string& path) {
    return path.size() > 4 && (path.compare(path.size() - 4, 4, ".syx") == 0 ||
                               path.compare(path.size() - 4, 4, ".SYX") == 0);
}

int Import(LibraryDatabase& database, const LibraryArguments& a) {
    const ImportReport report = ImportIntoLibrary(database, a.paths);
    for (const auto& [path, reason] : report.refused) {
        std::fprintf(stderr, "orvo-prg: refused: %s\n", reason.c_str());
    }
    std::printf("%s\n", report.Summary().c_str());
    return report.refused.empty() ? kExitOk : kExitBadInput;
}

std::string TagList(const std::vector<std::string>& tags) {
    std::string text;
    for (const std::string& tag : tags)
        text += (text.empty() ? "" : ",") + tag;
    return text;
}

}  // namespace

int RunLibraryCommand(int argc, char** argv) {
    LibraryArguments a;
    const std::string complaint = Parse(argc, argv, a);
    if (!complaint.empty()) return Usage(complaint);
    if (a.database.empty()) {
        const std::optional<std::string> path = DefaultLibraryPath();
        if (!path) return Fail("no library: neither XDG_DATA_HOME nor HOME is set; give --db FILE");
        a.database = *path;
    }
    LibraryDatabase database(a.database);
    const LibraryOpenResult& opened = database.Open();
    if (!opened.Usable()) return Fail(opened.message);
    if (!opened.message.empty()) std::fprintf(stderr, "orvo-prg: %s\n", opened.message.c_str());
    if (a.command == "import") return Import(database, a);

    LibraryQuery query;
    query.text = a.search;
    query.favouritesOnly = a.favourites;
    const std::vector<LibraryEntry> programs = database.Find(query);
    if (a.command == "list") {
        for (const LibraryEntry& entry : programs) {
            std::printf("%s\t%s\t%s\n", entry.metadata.name.c_str(),
                        TagList(entry.metadata.tags).c_str(), entry.fingerprint.c_str());
        }
        return kExitOk;
    }
    if (programs.empty()) return Fail("no program of the library matches");
    std::string problem;
    const bool written = EndsWithSyx(a.output) ? ExportProgramSyx(programs, a.output, &problem)
                                               : ExportProgramFolder(programs, a.output, &problem);
    if (!written) return Fail(problem);
    std::printf("%zu program%s exported to %s\n", programs.size(), programs.size() == 1 ? "" : "s",
                a.output.c_str());
    return kExitOk;
}
