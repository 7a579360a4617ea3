#include "shell/CommandLine.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "unit/ProgramFile.h"

namespace {

constexpr const char* kShortUsage =
    "Usage: orvo-editor [--help] [--version] [--layout-editing] [FILE.prg]\n";

constexpr const char* kHelp =
    "Usage: orvo-editor [--layout-editing] [FILE.prg]\n"
    "The desktop editor and librarian for the Orvo bass synthesizer.\n"
    "\n"
    "  FILE.prg     a program file to load once the editor has started, as the panel's\n"
    "               Load button does; when the editor runs already, that editor loads it\n"
    "               and comes to the front, and this start ends\n"
    "  -h, --help   show this text and exit\n"
    "  --version    show the version and exit\n"
    "  --layout-editing\n"
    "               for the people who build the panel: the key E on the panel then moves\n"
    "               and resizes its controls and writes PanelLayout.h into the current\n"
    "               folder (the same as ORVO_LAYOUT_EDITING=1 in the environment)\n"
    "\n"
    "Settings are kept in $XDG_CONFIG_HOME/OrvodyneEditor (~/.config/OrvodyneEditor).\n"
    "\n"
    "Exit status: 0 normally, also when a running editor took the file; 1 no folder for the\n"
    "settings; 2 an unknown option or a program file that cannot be read; 3 an error stopped\n"
    "the editor.\n";

std::string AbsolutePath(const std::string& path) {
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    // Without a current folder the path stays as given; opening it then says what is wrong.
    return failed ? path : absolute.lexically_normal().string();
}

}  // namespace

CommandLine CommandLine::Parse(int argc, char** argv) {
    CommandLine line;
    line.layoutEditing_ = LayoutEditingFromEnvironment();
    bool optionsEnded = false;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            line.action_ = Action::Help;
            return line;
        } else if (!optionsEnded && arg == "--version") {
            line.action_ = Action::Version;
            return line;
        } else if (!optionsEnded && arg == "--layout-editing") {
            line.layoutEditing_ = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            line.action_ = Action::Refuse;
            line.complaint_ = "unknown option " + std::string(arg);
            return line;
        } else if (!file.empty()) {
            line.action_ = Action::Refuse;
            line.complaint_ = "only one program file can be opened";
            return line;
        } else if (arg.empty()) {
            line.action_ = Action::Refuse;
            line.complaint_ = "an empty file name";
            return line;
        } else {
            file = arg;
        }
    }
    if (!file.empty()) line.programFile_ = AbsolutePath(file);
    return line;
}

int CommandLine::Answer(std::FILE* out, std::FILE* err) const {
    switch (action_) {
        case Action::Help:
            std::fputs(kHelp, out);
            return 0;
        case Action::Version:
            std::fputs("orvo-editor " ORVO_VERSION "\n", out);
            return 0;
        case Action::Refuse:
            std::fprintf(err, "orvo-editor: %s\n%s", complaint_.c_str(), kShortUsage);
            return kExitUsage;
        case Action::Start:
            break;
    }
    return 0;
}

bool CommandLine::ProgramFileReadable(std::FILE* err) const {
    std::string reason;
    if (programFile_.empty() || ReadProgramFile(programFile_, &reason)) return true;
    std::fprintf(err, "orvo-editor: %s\n", reason.c_str());
    return false;
}

bool LayoutEditingFromEnvironment() {
    const char* value = std::getenv("ORVO_LAYOUT_EDITING");
    return value != nullptr && std::string_view(value) == "1";
}
