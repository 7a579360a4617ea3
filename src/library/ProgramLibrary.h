#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "library/db/LibraryDatabase.h"
#include "library/db/LibraryUndo.h"

class Librarian;
class OrvoEditor;

// What the user chose for the library, kept in the settings file's [library] section.
struct LibrarySettings {
    // Every program loaded from a file, saved to one or read from the unit goes into the library.
    bool addEveryProgram = false;
    // After each audition the unit plays this note for lengthMs.
    bool auditionNote = false;
    int note = 36;
    int velocity = 100;
    int lengthMs = 800;
};

// The editor's side of the program library: the database (opened on first use, never at
// start-up), its undo, and what the library does to the panel and the unit: audition a program
// as loading a file does, play the audition note, keep the panel's program.
class ProgramLibrary {
public:
    // editor and librarian may be null (no panel): then nothing is auditioned. The settings are
    // read from the settings file at settingsPath (none when empty).
    ProgramLibrary(std::string databasePath, OrvoEditor* editor, Librarian* librarian,
                   std::string settingsPath = {});
    ~ProgramLibrary();

    // Opens the database on the first call; every later call gives the first answer.
    const LibraryOpenResult& Open();
    LibraryDatabase& Database() { return database_; }
    LibraryUndo& Undo() { return undo_; }
    LibrarySettings& Settings() { return settings_; }
    // Keeps the settings in the settings file; false when it could not be written.
    bool WriteSettings() const;

    // The program of entry id on the panel and in the unit's edit buffer, one undo step of the
    // editor; it counts as used now. False when the entry is gone or there is no panel.
    bool Audition(int64_t id);
    // The audition note's Note On, on the editor's MIDI channel; false when the setting is off.
    // EndAuditionNote sends its Note Off.
    bool StartAuditionNote();
    void EndAuditionNote();

    // The program on the panel as the library would keep it.
    std::optional<ProgramValues> PanelProgram() const;
    // Keeps the panel's program under name; the entry's id (an existing one when the library
    // holds the same values already: it is renamed then).
    std::optional<int64_t> SavePanelProgram(const std::string& name);

    // Notes a program for the library from any thread (a dump arrives on the MIDI input thread);
    // AddNoticed adds what was noted, on the GUI thread, when the setting is on.
    void Notice(const ProgramValues& values, const std::string& name, const LibrarySource& source);
    int AddNoticed();

private:
    struct Noticed {
        ProgramValues values;
        std::string name;
        LibrarySource source;
    };

    LibraryDatabase database_;
    LibraryUndo undo_{database_};
    std::string settingsPath_;
    LibrarySettings settings_;
    OrvoEditor* editor_;
    Librarian* librarian_;
    int noteOn_ = -1;
    std::mutex noticedLock_;
    std::vector<Noticed> noticed_;
};
