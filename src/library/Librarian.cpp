#include "library/Librarian.h"

#include <cstdio>
#include <ctime>

#include "library/ProgramConversion.h"
#include "library/ProgramFile.h"
#include "resources/Resources.h"
#include "util/AtomicFile.h"
#include "util/DebugPrint.h"
#include "util/FileReader.h"
#include "util/ProfileFile.h"

namespace {
// A chooser holding a path this short holds none.
constexpr size_t kShortestPath = 5;
// Paths on this system are long; the key is read whole rather than cut at 99 characters.
constexpr size_t kLongestSettingsPath = 4096;
const char* const kProgramExtension = ".prg";
}  // namespace

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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
    const std::optional<LibraryFolder::Entry> entry = library_.Step(delta);
    if (!entry) return;
    ShowStatus(entry->baseName);
    const std::string path = library_.PathOf(*entry);
    LoadProgramFile(path);
    SetChooserPaths(path, true);
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
            transfers_.Cancel();
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
    transfers_.RequestPendingDump();
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

void Librarian::PanelAction(int index, double value) {
    EditorPanel* panel = editor_.Panel();
    const std::string path = panel ? panel->ChooserPath(index) : std::string();
    const bool chosen = path.size() >= kShortestPath;
    switch (index) {
        case kParamProgramLoadFile:
            if (!chosen) return;
            LoadChosenFile(path);
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

bool Librarian::LoadChosenFile(const std::string& path) {
    ScanLibraryFolder(path);
    const bool loaded = LoadProgramFile(path);
    SetChooserPaths(path, false);
    return loaded;
}

bool Librarian::OpenProgramFile(const std::string& path) {
    // The Load button's next dialog starts where this file lies.
    SetChooserPaths(path, true);
    return LoadChosenFile(path);
}

bool Librarian::LoadProgramFile(const std::string& path) {
    const std::string name = FileNameOf(path);
    if (EditorPanel* panel = editor_.Panel(); panel && panel->StatusLine() != name) {
        panel->SetStatusLine(name);
    }
    editor_.SetParameterValue(kParamSevenSegment, ProgramNumberOfName(name));
    const std::optional<ProgramValues> values = ReadProgramFile(path);
    if (!values) return false;
    working_ = *values;
    if (editor_.Panel()) {
        editor_.ApplyProgram(working_);
        editor_.KeepAsOriginal();
    }
    return true;
}

bool Librarian::WriteProgram(const std::string& path, const ProgramValues& program) {
    if (WriteProgramFile(path, program)) return true;
    ShowStatus("Could not save " + FileNameOf(path) + "!");
    return false;
}

bool Librarian::SaveProgramFile(const std::string& path) {
    if (!WriteProgram(path, editor_.SnapshotProgram(ProgramValues{}))) return false;
    editor_.KeepAsOriginal();
    return true;
}

bool Librarian::SaveProgramDump(const std::string& path, const ProgramBlock& block) {
    if (!WriteProgram(path, UnitBytesToProgramSlots(block))) return false;
    ShowStatus(FileNameOf(path));
    return true;
}

void Librarian::RestoreLastProgram() {
    const std::string lastFile =
        settingsPath_.empty()
            ? std::string()
            : ReadProfileString(settingsPath_, "program", "lastfile", "", kLongestSettingsPath);
    if (lastFile.size() < kShortestPath) {
        working_ = DefaultProgram();
        editor_.ApplyProgram(working_);
        return;
    }
    SetChooserPaths(lastFile, true);
    // The folder of the last file is listed with it selected, so previous and next go on from
    // where the last session ended.
    ScanLibraryFolder(lastFile);
    LoadProgramFile(LastProgramPath());
}

void Librarian::StoreLastProgram() {
    if (settingsPath_.empty()) return;
    const std::optional<LibraryFolder::Entry> selected = library_.Selected();
    ShowStatus(selected ? selected->baseName : std::string());
    const std::string lastFile =
        library_.Folder() + (selected ? selected->fileName : std::string(kProgramExtension));
    // The editor is closing: nobody is left to tell but the debug output.
    if (!WriteProfileString(settingsPath_, "program", "lastfile", lastFile.c_str())) {
        DebugPrint("could not keep the last file in %s", settingsPath_.c_str());
    }
    if (!SaveProgramFile(LastProgramPath())) {
        DebugPrint("could not keep the last program in %s", LastProgramPath().c_str());
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
