#pragma once

#include <string>

#include "editor/OrvoEditor.h"
#include "editor/ProgramOperations.h"
#include "editor/ProgramSlots.h"
#include "library/SectionOperations.h"

// The editor's programs: loading and saving program files, the last program kept across
// sessions, and the section buttons. It works on the editor it belongs to and is called by the
// editor under the plug-in lock.
class Librarian : public ProgramOperations {
public:
    // settingsPath: the settings file; "lastprogram.prg" lives beside it. Empty: nothing is
    // restored or stored.
    Librarian(OrvoEditor& editor, std::string settingsPath);

    void PanelAction(int index, double value) override;
    bool OpenProgramFile(const std::string& path) override;
    void RestoreLastProgram() override;
    void StoreLastProgram() override;

    // Loads a program file into the editor and the unit; false when it could not be read.
    bool LoadProgramFile(const std::string& path);
    // Saves the editor's program; false (and a note in the status line) when that failed.
    bool SaveProgramFile(const std::string& path);
    // Saves a program received from the unit, given as its 104 bytes.
    bool SaveProgramDump(const std::string& path, const ProgramBlock& block);

    void SectionDefault();
    void SectionRandomise();
    void SectionReset();
    void SectionCopy();

    const ProgramValues& WorkingProgram() const { return working_; }
    const std::string& LibraryFolder() const { return libraryFolder_; }
    const std::string& SelectedName() const { return selectedName_; }
    std::string LastProgramPath() const;
    SectionRandom& Random() { return random_; }

private:
    SectionSelection Selection() const;
    void SelectLibraryFile(const std::string& path);
    // What the Load button does with the file it was given.
    bool LoadChosenFile(const std::string& path);
    void ShowStatus(const std::string& text);
    // Writes a program file; a failure is shown in the status line.
    bool WriteProgram(const std::string& path, const ProgramValues& program);

    OrvoEditor& editor_;
    std::string settingsPath_;
    ProgramValues working_{};
    ProgramValues randomValues_{};
    ProgramValues reset_{};
    SectionRandom random_;
    std::string libraryFolder_;
    std::string selectedName_;
};

// The file name behind the last "/", and the folder up to and including it.
std::string FileNameOf(const std::string& path);
std::string FolderOf(const std::string& path);
// The program number read with "%d" from the first two characters of a file name; 0 for none.
int ProgramNumberOfName(const std::string& name);
