#pragma once

#include <cstdio>
#include <string>

// What the editor's command line asks for: a start, perhaps with one program file to open, or
// an answer on the terminal (help, version, or a complaint about the line). Read before any
// window or MIDI port exists, so that it also answers where no display is.
class CommandLine {
public:
    enum class Action { Start, Help, Version, Refuse };

    // Exit code of a line the editor cannot follow: an unknown option, or (where no window can
    // show) a program file that cannot be read.
    static constexpr int kExitUsage = 2;

    static CommandLine Parse(int argc, char** argv);

    Action What() const { return action_; }
    // The program file to open, made absolute; empty when none is given.
    const std::string& ProgramFile() const { return programFile_; }
    const std::string& Complaint() const { return complaint_; }
    // Whether the panel's layout editing (for the people who build the panel) is wanted: the
    // option --layout-editing, or the environment's ORVO_LAYOUT_EDITING=1.
    bool LayoutEditing() const { return layoutEditing_; }

    // Prints the help or the version to out, or the complaint with a short usage to err; the
    // process's exit code.
    int Answer(std::FILE* out, std::FILE* err) const;

    // Whether the program file can be loaded; the reason goes to err when not.
    bool ProgramFileReadable(std::FILE* err) const;

private:
    Action action_ = Action::Start;
    std::string programFile_;
    std::string complaint_;
    bool layoutEditing_ = false;
};

// Whether the environment asks for layout editing: ORVO_LAYOUT_EDITING set to "1".
bool LayoutEditingFromEnvironment();
