#include "library/Librarian.h"

#include <cstdio>
#include <ctime>

#include "library/db/LibraryImport.h"
#include "resources/Resources.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "util/AtomicFile.h"
#include "util/DebugPrint.h"
#include "util/FileReader.h"
#include "util/ProfileFile.h"

namespace {
// A chooser holding a path this short holds none.
constexpr size_t kShortestPath = 5;
// Paths on this system are long; the key is read whole rather than cut at 99 characters.
constexpr size_t kLongestSettingsPath = 4096;
// What the status line calls the program at start when no file names it.
const char* const kDefaultProgramName = "Default";
const char* const kLastProgramName = "Last program";
}  // namespace

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ProgramNameOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    return LibraryFolder::IsProgramFileName(name) ? name.substr(0, name.rfind('.')) : name;
}

int ProgramNumberOfName(const std::string& name) {
    int number = 0;
    if (std::sscanf(name.substr(0, 2).c_str(), "%d", &number) != 1) return 0;
    return number;
}

Librarian::Librarian(OrvoEditor& editor, std::string settingsPath)
    : editor_(editor),
      settingsPath_(std::move(settingsPath)),
      random_(static_cast<uint32_t>(std::time(nullptr))),
      transfers_(editor, *this, library_),
      help_(settingsPath_, resources::FindResource(resources::kUserGuideId)),
      firmware_(std::make_unique<FirmwareUpdate>(editor, transfers_)) {
    ShowStoppedTransferNote();
}

Librarian::~Librarian() = default;

std::string Librarian::LastProgramPath() const {
    if (settingsPath_.empty()) return {};
    return FolderOf(settingsPath_) + "lastprogram.prg";
}

std::string Librarian::StoppedTransferNotePath() const {
    if (settingsPath_.empty()) return {};
    return FolderOf(settingsPath_) + "stopped-transfer.txt";
}

void Librarian::KeepStoppedTransferNote(const std::string& note) {
    const std::string path = StoppedTransferNotePath();
    // The editor is ending: nobody is left to tell but the debug output.
    if (!path.empty() && !WriteFileAtomically(path, note.data(), note.size())) {
        DebugPrint("could not keep the note of the stopped transfer in %s", path.c_str());
    }
}

void Librarian::ShowStoppedTransferNote() {
    const std::string path = StoppedTransferNotePath();
    if (path.empty() || !FileExists(path)) return;
    constexpr size_t kLongestNote = 4096;
    const std::optional<std::string> note = ReadWholeFile(path, kLongestNote);
    // Shown once: the note goes whether or not it could be read.
    std::remove(path.c_str());
    if (note && !note->empty()) editor_.Reports().Post(ReportKind::kError, *note);
}

void Librarian::ShowStatus(const std::string& text) {
    if (EditorPanel* panel = editor_.Panel()) panel->SetStatusLine(text);
}

SectionSelection Librarian::Selection() const {
    SectionSelection on{};
    for (int s = 0; s < kSectionCount; ++s)
        on[static_cast<size_t>(s)] = editor_.SectionOn(s);
    return on;
}

void Librarian::SetChooserPaths(const std::string& path, bool loadChooserToo) {
    EditorPanel* panel = editor_.Panel();
    if (panel == nullptr) return;
    if (loadChooserToo) panel->SetChooserPath(kParamProgramLoadFile, path);
    panel->SetChooserPath(kParamProgramSaveFile, path);
    panel->SetChooserPath(kParamProgramWriteFile, path);
}

void Librarian::ScanLibraryFolder(const std::string& path) {
    if (std::optional<LibraryFolder::Entry> selected = library_.Scan(path)) {
        ShowStatus(selected->baseName);
    }
}

void Librarian::ChooseLibraryFolder(std::function<void()> then) {
    editor_.Reports().PostFolderChoice(library_.Folder(),
                                       [this, then](const std::optional<std::string>& chosen) {
                                           LibraryFolderChosen(chosen, then);
                                       });
}

void Librarian::LibraryFolderChosen(const std::optional<std::string>& chosen,
                                    const std::function<void()>& then) {
    // A cancelled dialog keeps the folder as it was; a transfer that was to follow does not
    // start on a folder the user turned away from.
    if (!chosen && (then || library_.Folder().empty())) return;
    if (chosen) library_.SetFolder(*chosen);
    ScanLibraryFolder(library_.Folder());
    SetChooserPaths(library_.FirstPath(), true);
    if (then) then();
}

void Librarian::StepProgram(int delta) {
    const int was = library_.SelectedIndex();
    const std::optional<LibraryFolder::Entry> entry = library_.Step(delta);
    if (!entry) return;
    const std::string path = library_.PathOf(*entry);
    // A file that is refused leaves the selection where it was, with the program it belongs to.
    if (!LoadProgramFile(path)) {
        library_.Select(was);
        return;
    }
    SetChooserPaths(path, true);
}

bool Librarian::TransferRunning() const {
    return transfers_.Running() != nullptr || firmware_->ImageGoing();
}

bool Librarian::Command(int code) {
    switch (code) {
        case kCommandWriteProgram:
        case kCommandWriteAllPrograms:
        case kCommandSaveFromUnit:
        case kCommandSaveAllFromUnit:
            // Refused before any dialog: one transfer at a time.
            if (!transfers_.MayStart()) return true;
            break;
        default:
            break;
    }
    switch (code) {
        case kCommandStopTransfer:
            if (!firmware_->Cancel()) transfers_.Cancel();
            return true;
        case kCommandStopTransferForQuit:
            if (std::optional<std::string> note = transfers_.StopForQuit()) {
                KeepStoppedTransferNote(*note);
            }
            return true;
        case kCommandSelectDirectory:
            ChooseLibraryFolder();
            return true;
        case kCommandSaveProgram:
            // The editor opens the Save selector: from here on it saves the panel's program.
            transfers_.DisarmSaveFromUnit();
            return true;
        case kCommandWriteProgram:
            editor_.Reports().PostChooserOpening(kParamProgramWriteFile);
            return true;
        case kCommandWriteAllPrograms:
            ChooseLibraryFolder([this] { transfers_.WriteAllPrograms(library_.Folder()); });
            return true;
        case kCommandSaveFromUnit:
            transfers_.ArmSaveFromUnit();
            if (EditorPanel* panel = editor_.Panel()) {
                panel->SetChooserPath(kParamProgramSaveFile, library_.Folder() + "01.prg");
            }
            editor_.Reports().PostChooserOpening(kParamProgramSaveFile);
            return true;
        case kCommandSaveAllFromUnit:
            ChooseLibraryFolder([this] {
                if (EditorPanel* panel = editor_.Panel()) {
                    panel->SetChooserPath(kParamProgramSaveFile, library_.FirstPath());
                }
                transfers_.StartSaveAll();
            });
            return true;
        case kCommandUserGuide:
            if (EditorPanel* panel = editor_.Panel()) help_.OpenUserGuide(*panel);
            return true;
        case kCommandProgramDatabase:
            if (EditorPanel* panel = editor_.Panel()) help_.OpenProgramDatabase(*panel);
            return true;
        default:
            return false;
    }
}

void Librarian::Tick() {
    transfers_.Tick();
    firmware_->Tick();
}

void Librarian::GuiIdle() {
    transfers_.GuiIdle();
    firmware_->GuiIdle();
}

void Librarian::StatusReply(uint8_t code) {
    transfers_.OnStatusReply(code);
}

void Librarian::FirmwareReply(uint8_t code) {
    firmware_->OnFirmwareReply(code);
}

void Librarian::ProgramDump(const uint8_t* bytes, size_t size) {
    transfers_.OnProgramDump(bytes, size);
}

void Librarian::UnitConnectionLost() {
    firmware_->UnitConnectionLost();
}

void Librarian::PanelAction(int index, double value) {
    EditorPanel* panel = editor_.Panel();
    const std::string path = panel ? panel->ChooserPath(index) : std::string();
    const bool chosen = path.size() >= kShortestPath;
    switch (index) {
        case kParamProgramLoadFile:
            if (!chosen) return;
            LoadChosenFile(path, false);
            return;
        case kParamProgramSaveFile:
            if (!chosen) {
                // A cancelled Save dialog disarms a save from the unit: a later dump must not
                // overwrite the file the selector still names.
                transfers_.DisarmSaveFromUnit();
                return;
            }
            if (transfers_.SaveFromUnitArmed()) {
                transfers_.RequestIntoFile(path);
            } else {
                SaveProgramFile(path);
            }
            return;
        case kParamProgramWriteFile:
            if (!chosen) return;
            // A file that cannot be read goes nowhere: said at once, and nothing else changes.
            if (!ReadProgramOrSay(path)) return;
            transfers_.WriteSelectedFile(path);
            ScanLibraryFolder(path);
            return;
        case kParamWriteAll:
            // A switch on the panel: each click, on or off, asks as the menu command does.
            Command(kCommandWriteAllPrograms);
            return;
        case kParamPreviousProgram:
        case kParamNextProgram:
            if (value > 0.5) StepProgram(index == kParamNextProgram ? 1 : -1);
            return;
        case kParamFirmwareFile:
            // The unit takes one transfer at a time, a firmware update included.
            if (chosen && transfers_.MayStart()) firmware_->StartFirmwareUpdate(path);
            return;
        default:
            break;
    }
    if (value <= 0.5) return;
    switch (index) {
        case kParamSectionCopy:
            SectionCopy();
            break;
        case kParamSectionDefault:
            SectionDefault();
            break;
        case kParamSectionRandom:
            SectionRandomise();
            break;
        case kParamSectionReset:
            SectionReset();
            break;
        default:
            break;
    }
}

// Nothing happens before the file has been read: a refused file leaves the panel, the unit,
// the status line, the library list and the paths the choosers propose as they were.
bool Librarian::LoadChosenFile(const std::string& path, bool loadChooserToo) {
    if (!LoadProgramFile(path)) return false;
    ScanLibraryFolder(path);
    SetChooserPaths(path, loadChooserToo);
    return true;
}

bool Librarian::OpenProgramFile(const std::string& path) {
    // The Load button's next dialog starts where this file lies.
    return LoadChosenFile(path, true);
}

std::optional<ProgramValues> Librarian::ReadProgramOrSay(const std::string& path) {
    std::string reason;
    std::optional<ProgramValues> values = ReadProgramFile(path, &reason);
    if (!values) editor_.Reports().Post(ReportKind::kError, reason);
    return values;
}

bool Librarian::LoadProgramFile(const std::string& path) {
    const std::optional<ProgramValues> values = ReadProgramOrSay(path);
    if (!values) return false;
    ShowProgram(path);
    // The program kept at the end of a session is named after the file it came from.
    if (path != LastProgramPath()) {
        editor_.SetProgramName(ProgramNameOf(path));
        TellProgramSeen(*values, path, SourceKind::kLoad);
    }
    PutProgram(*values);
    return true;
}

void Librarian::PutProgram(const ProgramValues& values) {
    working_ = values;
    if (editor_.Panel()) {
        editor_.ApplyProgram(working_);
        editor_.KeepAsOriginal();
    }
}

void Librarian::AuditionProgram(const ProgramValues& values, const std::string& name) {
    std::lock_guard<std::recursive_mutex> hold(editor_.PluginLock());
    ShowStatus(name);
    editor_.SetParameterValue(kParamSevenSegment, 0);
    editor_.SetProgramName(name);
    PutProgram(values);
}

void Librarian::TellProgramSeen(const ProgramValues& values, const std::string& path,
                                SourceKind kind, int location) {
    if (!programSeen_) return;
    programSeen_(values, ProgramNameOfFile(path), {kind, path, location, 0});
}

void Librarian::ShowProgram(const std::string& path) {
    ShowStatus(ProgramNameOf(path));
    editor_.SetParameterValue(kParamSevenSegment, ProgramNumberOfName(FileNameOf(path)));
}

bool Librarian::WriteProgram(const std::string& path, const ProgramValues& program,
                             std::string* reason) {
    std::string problem;
    if (WriteProgramFile(path, program, &problem)) return true;
    ShowStatus("Could not save " + FileNameOf(path) + "!");
    const std::string sentence =
        "The program could not be saved to\n" + path + "\n(" + problem + ").";
    if (reason) {
        *reason = problem;
    } else {
        editor_.Reports().Post(ReportKind::kError, sentence);
    }
    return false;
}

bool Librarian::SaveProgramFile(const std::string& path) {
    const ProgramValues program = editor_.SnapshotProgram(ProgramValues{});
    if (!WriteProgram(path, program, nullptr)) return false;
    editor_.KeepAsOriginal();
    if (path != LastProgramPath()) {
        editor_.SetProgramName(ProgramNameOf(path));
        TellProgramSeen(program, path, SourceKind::kSave);
    }
    ShowStatus("Saved " + ProgramNameOf(path));
    return true;
}

bool Librarian::SaveProgramDump(const std::string& path, const ProgramBlock& block,
                                std::string* reason) {
    const ProgramValues program = UnitBytesToProgramSlots(block);
    if (!WriteProgram(path, program, reason)) return false;
    TellProgramSeen(program, path, SourceKind::kUnit, ProgramNumberOfName(FileNameOf(path)));
    ShowStatus("Saved " + ProgramNameOf(path));
    return true;
}

void Librarian::RestoreLastProgram() {
    const std::string lastFile =
        settingsPath_.empty()
            ? std::string()
            : ReadProfileString(settingsPath_, "program", "lastfile", "", kLongestSettingsPath);
    if (lastFile.size() >= kShortestPath) {
        lastFile_ = lastFile;
        SetChooserPaths(lastFile, true);
        // The folder of the last file is listed with it selected, so previous and next go on
        // from where the last session ended.
        library_.Scan(lastFile);
    }
    // The program the last session ended with comes back whenever it was kept, whether or not
    // a library file was chosen then; without it (or when it is damaged) the default program
    // does, never a blank panel.
    const std::string lastProgram = LastProgramPath();
    std::string reason;
    std::optional<ProgramValues> kept;
    if (!lastProgram.empty() && FileExists(lastProgram)) {
        kept = ReadProgramFile(lastProgram, &reason);
        if (!kept) {
            editor_.Reports().Post(ReportKind::kError,
                                   reason + "\nThe default program is loaded instead.");
        }
    }
    working_ = kept ? *kept : DefaultProgram();
    editor_.ApplyProgram(working_);
    editor_.SetParameterValue(kParamSevenSegment, 0);
    if (!kept) {
        ShowStatus(kDefaultProgramName);
    } else {
        ShowStatus(lastFile.size() >= kShortestPath ? ProgramNameOf(lastFile) : kLastProgramName);
    }
    editor_.SetProgramName(kept && lastFile.size() >= kShortestPath ? ProgramNameOf(lastFile)
                                                                    : std::string());
}

void Librarian::StoreLastProgram() {
    if (settingsPath_.empty()) return;
    // Only a file that was chosen is named: the one selected now, else the one the session
    // started from; without either the key is left empty, never a bare extension.
    const std::optional<LibraryFolder::Entry> selected = library_.Selected();
    const std::string lastFile = selected ? library_.PathOf(*selected) : lastFile_;
    // The editor is closing: its window is gone, nobody is left to tell but the debug output.
    if (!WriteProfileString(settingsPath_, "program", "lastfile", lastFile.c_str())) {
        DebugPrint("could not keep the last file in %s", settingsPath_.c_str());
    }
    std::string problem;
    if (!WriteProgramFile(LastProgramPath(), editor_.SnapshotProgram(ProgramValues{}), &problem)) {
        DebugPrint("could not keep the last program in %s: %s", LastProgramPath().c_str(),
                   problem.c_str());
    }
}

void Librarian::SectionDefault() {
    const SectionSelection on = Selection();
    if (AllSections(on)) {
        working_ = DefaultProgram();
    } else {
        working_ = CopySections(editor_.SnapshotProgram(working_), DefaultProgram(), on, true);
    }
    editor_.ApplyProgram(working_);
}

void Librarian::SectionRandomise() {
    randomValues_ = DrawRandomProgram(random_, randomValues_);
    working_ = CopySections(editor_.SnapshotProgram(working_), randomValues_, Selection(), true);
    editor_.ApplyProgram(working_);
}

void Librarian::SectionReset() {
    reset_ = ResetProgram(reset_, editor_.EffectType());
    const SectionSelection on = Selection();
    if (AllSections(on)) {
        working_ = reset_;
    } else {
        working_ = CopySections(editor_.SnapshotProgram(working_), reset_, on, false);
    }
    editor_.ApplyProgram(working_);
}

void Librarian::SectionCopy() {
    working_ = editor_.SnapshotProgram(working_);
    int source = -1;
    for (int vco = 3; vco >= 0 && source < 0; --vco) {
        if (editor_.GetParam(kParamCopyFromVco1 + vco)->value > 0.5) source = vco;
    }
    if (source < 0) return;
    std::array<bool, 4> targets{};
    for (int vco = 0; vco < 4; ++vco) {
        targets[static_cast<size_t>(vco)] = editor_.GetParam(kParamCopyToVco1 + vco)->value > 0.5;
    }
    working_ = CopyOscillator(working_, source, targets);
    editor_.ApplyOscillators(working_);
}
