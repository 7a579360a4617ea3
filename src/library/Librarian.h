#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editor/OrvoEditor.h"
#include "editor/ProgramOperations.h"
#include "library/FirmwareUpdate.h"
#include "library/HelpDocuments.h"
#include "library/LibraryFolder.h"
#include "library/ProgramTransfers.h"
#include "library/SectionOperations.h"
#include "library/db/LibraryEntry.h"
#include "unit/ProgramSlots.h"

// The editor's programs: loading and saving program files, the library folder and the
// transfers to and from the unit, the last program kept across sessions, and the section
// buttons. It works on the editor it belongs to and is called by the editor under the plug-in
// lock.
class Librarian : public ProgramOperations {
public:
    // settingsPath: the settings file; "lastprogram.prg" lives beside it. Empty: nothing is
    // restored or stored.
    Librarian(OrvoEditor& editor, std::string settingsPath);
    ~Librarian() override;

    void PanelAction(int index, double value) override;
    bool OpenProgramFile(const std::string& path) override;
    void RestoreLastProgram() override;
    void StoreLastProgram() override;
    void Tick() override;
    void GuiIdle() override;
    void StatusReply(uint8_t code) override;
    void FirmwareReply(uint8_t code) override;
    void ProgramDump(const uint8_t* bytes, size_t size) override;
    void UnitConnectionLost() override;
    bool Command(int code) override;
    // A transfer, or a firmware image on its way.
    bool TransferRunning() const override;

    // Loads a program file into the editor and the unit, and shows its name. A file that cannot
    // be read changes nothing and is reported in an error box naming the file, the line and the
    // cause; false then.
    bool LoadProgramFile(const std::string& path);
    // Puts a program on the panel and into the unit's edit buffer as loading a file does, as one
    // step of the edit history, and shows its name.
    void AuditionProgram(const ProgramValues& values, const std::string& name);
    // Told of every program loaded from a file, saved to one, or received from the unit and
    // saved, with its name and where it came from; on the thread that did it, under the lock.
    using ProgramSeen = std::function<void(const ProgramValues& values, const std::string& name,
                                           const LibrarySource& source)>;
    void SetProgramSeen(ProgramSeen seen) { programSeen_ = std::move(seen); }

    // Saves the editor's program and confirms it in the status line. False when that failed,
    // said in the status line and in an error box naming the file and the reason.
    bool SaveProgramFile(const std::string& path);
    // Saves a program received from the unit, given as its 104 bytes. On failure the system's
    // reason is left in reason for the transfer's own report; without one the whole sentence
    // is shown in an error box.
    bool SaveProgramDump(const std::string& path, const ProgramBlock& block,
                         std::string* reason = nullptr);

    // The folder dialog, then the folder chosen (or, for Select Directory alone, the current
    // one when it is cancelled) is listed and the choosers get its first file. then runs
    // afterwards with a folder chosen; a cancelled dialog does not run it.
    void ChooseLibraryFolder(std::function<void()> then = {});
    // The library folder becomes the folder of path and is listed anew; the file of path is
    // selected and its name shown.
    void ScanLibraryFolder(const std::string& path);

    void SectionDefault();
    void SectionRandomise();
    void SectionReset();
    void SectionCopy();

    const ProgramValues& WorkingProgram() const { return working_; }
    const LibraryFolder& Library() const { return library_; }
    ProgramTransfers& Transfers() { return transfers_; }
    std::string LastProgramPath() const;
    // The note beside the settings file that a transfer was broken off by the editor's end; the
    // next start shows it once.
    std::string StoppedTransferNotePath() const;
    SectionRandom& Random() { return random_; }
    FirmwareUpdate& Firmware() { return *firmware_; }
    const HelpDocuments& Help() const { return help_; }

private:
    SectionSelection Selection() const;
    // What the Load button does with the file it was given (the command line too, which also
    // gives the path to the Load chooser).
    bool LoadChosenFile(const std::string& path, bool loadChooserToo);
    // The values of a program file, or nothing and an error box saying why.
    std::optional<ProgramValues> ReadProgramOrSay(const std::string& path);
    // The status line and the program number display follow the file just loaded.
    void ShowProgram(const std::string& path);
    void ShowStatus(const std::string& text);
    void SetChooserPaths(const std::string& path, bool loadChooserToo);
    void LibraryFolderChosen(const std::optional<std::string>& chosen,
                             const std::function<void()>& then);
    void StepProgram(int delta);
    void KeepStoppedTransferNote(const std::string& note);
    void ShowStoppedTransferNote();
    // Writes a program file; a failure is shown in the status line, and its reason is left in
    // reason or, without one, shown in an error box.
    bool WriteProgram(const std::string& path, const ProgramValues& program, std::string* reason);
    // Shows values on the panel and sends them to the unit; they become the original of compare.
    void PutProgram(const ProgramValues& values);
    void TellProgramSeen(const ProgramValues& values, const std::string& path, SourceKind kind,
                         int location = 0);

    OrvoEditor& editor_;
    std::string settingsPath_;
    // The library file the session started from, as the settings named it.
    std::string lastFile_;
    ProgramValues working_{};
    ProgramValues randomValues_{};
    ProgramValues reset_{};
    SectionRandom random_;
    LibraryFolder library_;
    ProgramTransfers transfers_;
    HelpDocuments help_;
    std::unique_ptr<FirmwareUpdate> firmware_;
    ProgramSeen programSeen_;
};

// The file name behind the last "/", and the folder up to and including it.
std::string FileNameOf(const std::string& path);
std::string FolderOf(const std::string& path);
// The name a program goes by: its file name without the ".prg".
std::string ProgramNameOf(const std::string& path);
// The program number read with "%d" from the first two characters of a file name; 0 for none.
int ProgramNumberOfName(const std::string& name);
