#include "library/ProgramLibrary.h"

#include <cstdlib>
#include <utility>

#include "editor/OrvoEditor.h"
#include "library/Librarian.h"
#include "unit/ProgramConversion.h"
#include "util/ProfileFile.h"

namespace {

// The editor puts its notes on the channel chosen in the MIDI preferences, as the keyboard's.
constexpr uint8_t kNoteOnStatus = 0x90;
constexpr uint8_t kNoteOffStatus = 0x80;

int Held(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

// The keys of the settings file's [library] section.
constexpr const char* kSection = "library";
struct SettingKey {
    const char* key;
    int (*get)(const LibrarySettings&);
    void (*set)(LibrarySettings&, int);
};
constexpr SettingKey kSettingKeys[] = {
    {"addeveryprogram", [](const LibrarySettings& s) { return int{s.addEveryProgram}; },
     [](LibrarySettings& s, int v) { s.addEveryProgram = v != 0; }},
    {"auditionnote", [](const LibrarySettings& s) { return int{s.auditionNote}; },
     [](LibrarySettings& s, int v) { s.auditionNote = v != 0; }},
    {"note", [](const LibrarySettings& s) { return s.note; },
     [](LibrarySettings& s, int v) { s.note = Held(v, 0, 127); }},
    {"velocity", [](const LibrarySettings& s) { return s.velocity; },
     [](LibrarySettings& s, int v) { s.velocity = Held(v, 1, 127); }},
    {"notelength", [](const LibrarySettings& s) { return s.lengthMs; },
     [](LibrarySettings& s, int v) { s.lengthMs = Held(v, 50, 10000); }},
};

}  // namespace

ProgramLibrary::ProgramLibrary(std::string databasePath, OrvoEditor* editor, Librarian* librarian,
                               std::string settingsPath)
    : database_(std::move(databasePath)),
      settingsPath_(std::move(settingsPath)),
      editor_(editor),
      librarian_(librarian) {
    if (settingsPath_.empty()) return;
    for (const SettingKey& key : kSettingKeys) {
        const std::string text = ReadProfileString(settingsPath_, kSection, key.key, "", 16);
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        if (!text.empty() && *end == '\0') key.set(settings_, static_cast<int>(value));
    }
}

bool ProgramLibrary::WriteSettings() const {
    if (settingsPath_.empty()) return false;
    for (const SettingKey& key : kSettingKeys) {
        const std::string value = std::to_string(key.get(settings_));
        if (!WriteProfileString(settingsPath_, kSection, key.key, value.c_str())) return false;
    }
    return true;
}

ProgramLibrary::~ProgramLibrary() {
    EndAuditionNote();
}

const LibraryOpenResult& ProgramLibrary::Open() {
    return database_.Open();
}

bool ProgramLibrary::Audition(int64_t id) {
    if (!editor_ || !librarian_ || !Open().Usable()) return false;
    const std::optional<LibraryEntry> entry = database_.Entry(id);
    if (!entry) return false;
    EndAuditionNote();
    librarian_->AuditionProgram(entry->values, entry->metadata.name);
    database_.MarkUsed(id);
    return true;
}

bool ProgramLibrary::StartAuditionNote() {
    if (!settings_.auditionNote || !editor_) return false;
    EndAuditionNote();
    noteOn_ = Held(settings_.note, 0, 127);
    MidiMessage message;
    message.status = kNoteOnStatus;
    message.data1 = static_cast<uint8_t>(noteOn_);
    message.data2 = static_cast<uint8_t>(Held(settings_.velocity, 1, 127));
    // Without an output port the note reaches nobody; the audition itself has happened.
    (void)editor_->SendMidiMsg(message);
    return true;
}

void ProgramLibrary::EndAuditionNote() {
    if (noteOn_ < 0 || !editor_) return;
    MidiMessage message;
    message.status = kNoteOffStatus;
    message.data1 = static_cast<uint8_t>(noteOn_);
    (void)editor_->SendMidiMsg(message);
    noteOn_ = -1;
}

std::optional<ProgramValues> ProgramLibrary::PanelProgram() const {
    if (!editor_ || !librarian_) return std::nullopt;
    std::lock_guard<std::recursive_mutex> hold(editor_->PluginLock());
    return ClampProgramValues(editor_->SnapshotProgram(librarian_->WorkingProgram()));
}

std::optional<int64_t> ProgramLibrary::SavePanelProgram(const std::string& name) {
    const std::optional<ProgramValues> program = PanelProgram();
    if (!program || !Open().Usable()) return std::nullopt;
    LibraryDatabase::Transaction transaction(database_);
    const auto added = database_.AddProgram(*program, name, {SourceKind::kPanel, "", 0, 0});
    if (!added) return std::nullopt;
    if (!added->isNew) {
        LibraryMetadata metadata = database_.Entry(added->id)->metadata;
        metadata.name = name;
        if (!database_.SetMetadata(added->id, metadata)) return std::nullopt;
    }
    if (!transaction.Commit()) return std::nullopt;
    return added->id;
}

void ProgramLibrary::Notice(const ProgramValues& values, const std::string& name,
                            const LibrarySource& source) {
    std::lock_guard<std::mutex> hold(noticedLock_);
    noticed_.push_back({values, name, source});
}

int ProgramLibrary::AddNoticed() {
    std::vector<Noticed> noticed;
    {
        std::lock_guard<std::mutex> hold(noticedLock_);
        noticed.swap(noticed_);
    }
    if (noticed.empty() || !settings_.addEveryProgram || !Open().Usable()) return 0;
    int added = 0;
    LibraryDatabase::Transaction transaction(database_);
    for (Noticed& program : noticed) {
        program.source.at = database_.Now();
        if (database_.AddProgram(program.values, program.name, program.source)) ++added;
    }
    return transaction.Commit() ? added : 0;
}
