// The editor's command line: parsed in-process, and answered by the real program where no
// display and no MIDI system are needed.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "shell/CommandLine.h"
#include "support/TempDir.h"
#include "unit/ProgramText.h"

namespace {

CommandLine Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "orvo-editor");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return CommandLine::Parse(static_cast<int>(args.size()), argv.data());
}

struct Answer {
    int exitCode = -1;
    std::string out, err;
};

// Runs the real program with no display, no platform named and settings of a test folder: an
// answer that needed a window or a port would fail or hang here.
Answer RunEditorProgram(const std::string& arguments, const TempDir& folder) {
    const std::string command = "cd '" + folder.Path() +
                                "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                                "XDG_CONFIG_HOME='" +
                                folder.Path() + "/config' XDG_RUNTIME_DIR='" + folder.Path() +
                                "' timeout -k 10 20 '" ORVO_EDITOR_PATH "' " + arguments +
                                " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TempDir::Read(folder.File("out.txt")),
            TempDir::Read(folder.File("err.txt"))};
}

}  // namespace

TEST(CommandLine, AProgramFileIsMadeAbsoluteAndOptionsAreRecognised) {
    const std::string here = std::filesystem::current_path().string();
    CommandLine line = Parse({"bass.prg"});
    EXPECT_EQ(line.What(), CommandLine::Action::Start);
    EXPECT_EQ(line.ProgramFile(), here + "/bass.prg");
    EXPECT_EQ(Parse({"lib/../lib/./bass.prg"}).ProgramFile(), here + "/lib/bass.prg");
    EXPECT_EQ(Parse({"/abs/a b.prg"}).ProgramFile(), "/abs/a b.prg");
    EXPECT_EQ(Parse({}).ProgramFile(), "");
    // After "--" a name that starts with a dash is a file.
    line = Parse({"--", "-odd.prg"});
    EXPECT_EQ(line.What(), CommandLine::Action::Start);
    EXPECT_EQ(line.ProgramFile(), here + "/-odd.prg");

    EXPECT_EQ(Parse({"--help"}).What(), CommandLine::Action::Help);
    EXPECT_EQ(Parse({"a.prg", "-h"}).What(), CommandLine::Action::Help);
    EXPECT_EQ(Parse({"--version"}).What(), CommandLine::Action::Version);
    line = Parse({"--frobnicate"});
    EXPECT_EQ(line.What(), CommandLine::Action::Refuse);
    EXPECT_EQ(line.Complaint(), "unknown option --frobnicate");
    // Qt's own options are not taken either: the platform comes from the environment.
    EXPECT_EQ(Parse({"-platform", "offscreen"}).What(), CommandLine::Action::Refuse);
    line = Parse({"a.prg", "b.prg"});
    EXPECT_EQ(line.What(), CommandLine::Action::Refuse);
    EXPECT_EQ(line.Complaint(), "only one program file can be opened");
}

TEST(CommandLine, LayoutEditingIsOnlyThereWhenAskedFor) {
    unsetenv("ORVO_LAYOUT_EDITING");
    EXPECT_FALSE(Parse({}).LayoutEditing());
    EXPECT_FALSE(Parse({"a.prg"}).LayoutEditing());
    CommandLine line = Parse({"--layout-editing", "a.prg"});
    EXPECT_EQ(line.What(), CommandLine::Action::Start);
    EXPECT_TRUE(line.LayoutEditing());
    EXPECT_NE(line.ProgramFile(), "");
    setenv("ORVO_LAYOUT_EDITING", "1", 1);
    EXPECT_TRUE(Parse({}).LayoutEditing());
    setenv("ORVO_LAYOUT_EDITING", "0", 1);
    EXPECT_FALSE(Parse({}).LayoutEditing());
    unsetenv("ORVO_LAYOUT_EDITING");
}

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay) {
    TempDir folder;
    for (const char* option : {"--help", "-h"}) {
        const Answer help = RunEditorProgram(option, folder);
        EXPECT_EQ(help.exitCode, 0) << help.err;
        EXPECT_EQ(help.out.rfind("Usage: orvo-editor [--layout-editing] [FILE.prg]\n", 0), 0u)
            << help.out;
        EXPECT_NE(help.out.find("ORVO_LAYOUT_EDITING=1"), std::string::npos);
        EXPECT_NE(help.out.find("2 an unknown option"), std::string::npos);
        EXPECT_EQ(help.err, "");
    }
    const Answer version = RunEditorProgram("--version", folder);
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_EQ(version.out, "orvo-editor 1.2.2\n");
    EXPECT_EQ(version.err, "");
    // Nothing was started: no settings were written and no instance listened.
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/config"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/OrvodyneEditor"));
}

TEST(CommandLine, AWrongLineGivesAShortUsageAndExitsTwo) {
    TempDir folder;
    TempDir::Write(folder.File("outside.prg"), "  200 ; field\r\n");
    const struct {
        const char* arguments;
        const char* firstLine;
    } cases[] = {
        {"--frobnicate", "orvo-editor: unknown option --frobnicate\n"},
        {"a.prg b.prg", "orvo-editor: only one program file can be opened\n"},
        {"missing.prg", "missing.prg\" cannot be used: it cannot be opened (No such file"},
        {".", " cannot be used: it cannot be opened (Is a directory).\n"},
        {"outside.prg", "outside.prg\" cannot be used: line 1 holds 200, outside -64..127.\n"},
    };
    for (const auto& c : cases) {
        const Answer answer = RunEditorProgram(c.arguments, folder);
        EXPECT_EQ(answer.exitCode, 2) << c.arguments;
        EXPECT_EQ(answer.out, "") << c.arguments;
        EXPECT_NE(answer.err.find(c.firstLine), std::string::npos) << answer.err;
        EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/config")) << c.arguments;
    }
    EXPECT_NE(RunEditorProgram("--frobnicate", folder).err.find("Usage: orvo-editor"),
              std::string::npos);
}
