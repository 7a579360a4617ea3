#include "library/Librarian.h"

#include <cstdio>
#include <ctime>

#include "library/ProgramConversion.h"
#include "library/ProgramFile.h"
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
      random_(static_cast<uint32_t>(std::time(nullptr))) {}

std::string Librarian::LastProgramPath() const {
    if (settingsPath_.empty()) return {};
    return FolderOf(settingsPath_) + "lastprogram.prg";
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

void Librarian::SelectLibraryFile(const std::string& path) {
    libraryFolder_ = FolderOf(path);
    std::string name = FileNameOf(path);
    const size_t ext = name.size() >= 4 ? name.size() - 4 : std::string::npos;
    if (ext != std::string::npos && name.compare(ext, 4, kProgramExtension) == 0) name.resize(ext);
    selectedName_ = name;
}

void Librarian::PanelAction(int index, double value) {
    EditorPanel* panel = editor_.Panel();
    switch (index) {
        case kParamProgramLoadFile: {
            const std::string path = panel ? panel->ChooserPath(index) : std::string();
            if (path.size() < kShortestPath) return;
            LoadChosenFile(path);
            return;
        }
        case kParamProgramSaveFile: {
            const std::string path = panel ? panel->ChooserPath(index) : std::string();
            if (path.size() < kShortestPath) return;
            SaveProgramFile(path);
            return;
        }
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
    SelectLibraryFile(path);
    return LoadProgramFile(path);
}

bool Librarian::OpenProgramFile(const std::string& path) {
    // The Load button's next dialog starts where this file lies.
    if (EditorPanel* panel = editor_.Panel()) panel->SetChooserPath(kParamProgramLoadFile, path);
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
    if (editor_.Panel()) editor_.ApplyProgram(working_);
    return true;
}

bool Librarian::WriteProgram(const std::string& path, const ProgramValues& program) {
    if (WriteProgramFile(path, program)) return true;
    ShowStatus("Could not save " + FileNameOf(path) + "!");
    return false;
}

bool Librarian::SaveProgramFile(const std::string& path) {
    return WriteProgram(path, editor_.SnapshotProgram(ProgramValues{}));
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
    if (EditorPanel* panel = editor_.Panel()) {
        for (int chooser : {kParamProgramLoadFile, kParamProgramSaveFile, kParamProgramWriteFile}) {
            panel->SetChooserPath(chooser, lastFile);
        }
    }
    SelectLibraryFile(lastFile);
    LoadProgramFile(LastProgramPath());
}

void Librarian::StoreLastProgram() {
    if (settingsPath_.empty()) return;
    ShowStatus(selectedName_);
    const std::string lastFile = libraryFolder_ + selectedName_ + kProgramExtension;
    WriteProfileString(settingsPath_, "program", "lastfile", lastFile.c_str());
    SaveProgramFile(LastProgramPath());
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
