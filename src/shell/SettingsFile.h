#pragma once

#include <optional>
#include <string>

#include "plugin/PluginBase.h"

struct MidiSettings;

// The settings file, settings.ini in the folder "OrvodyneEditor" of the user's configuration
// folder. The shell keeps the three MIDI port names in it; the panel's scale and the last
// program file are kept by the panel and the librarian. Each access reads or writes one key;
// every write replaces the file atomically.
class SettingsFile {
public:
    static constexpr const char* kFolderName = PluginBase::kPluginName;
    static constexpr const char* kFileName = "settings.ini";

    // $XDG_CONFIG_HOME, or $HOME/.config when that is unset or empty; nothing when neither can
    // be used.
    static std::optional<std::string> ConfigFolder();
    // Where versions up to 1.2.2 kept decoded images between runs: "orvo-editor" in
    // $XDG_CACHE_HOME, or in $HOME/.cache when that is unset or empty; nothing without either.
    static std::optional<std::string> OldCacheFolder();
    // Where the built-in virtual Orvo keeps its programs: "OrvodyneEditor/Virtual Orvo" in
    // $XDG_DATA_HOME, or in $HOME/.local/share when that is unset or empty; nothing without
    // either.
    static std::optional<std::string> VirtualUnitFolder();
    // Removes that folder with everything in it, following no link out of it; true when it is
    // gone (or never was).
    static bool RemoveOldCacheFolder();

    // The start-up load: finds the file, creating its folder on a first run, and reads the port
    // names and the kind of output interface into settings, setting all three channels to 1
    // when the file exists. False when
    // there is no configuration folder.
    bool Load(MidiSettings& settings);

    // Stores the three port names of settings and whether the output is a fast interface. False
    // when the file could not be written.
    [[nodiscard]] bool WriteSettings(const MidiSettings& settings) const;

    // Whether the first start without chosen ports offered its choices (find the unit, choose
    // ports, the virtual Orvo); noting it makes sure they are offered once only.
    bool FirstStartOffered() const;
    [[nodiscard]] bool NoteFirstStartOffered() const;

    // The full path of settings.ini; empty before Load succeeded.
    const std::string& Path() const { return path_; }
    // The folder the file lives in, where the last program and the user guide go too.
    std::string Folder() const;

private:
    std::string path_;
};
