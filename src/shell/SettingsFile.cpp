#include "shell/SettingsFile.h"

#include <cstdlib>
#include <filesystem>

#include "midi/MidiSettings.h"
#include "util/ProfileFile.h"

namespace {
constexpr const char* kMidiSection = "midi";

// The MIDI keys in the order they are written, with what a missing key reads as.
struct MidiKey {
    MidiRole role;
    const char* key;
    const char* whenAbsent;
};
// "1" when the output is a fast interface that needs no cable pace; anything else is a cable.
constexpr const char* kFastInterfaceKey = "fastinterface";
constexpr MidiKey kMidiKeys[] = {
    {MidiRole::UnitInput, "indev", MidiSettings::kNoInput},
    {MidiRole::KeyboardInput, "inBdev", MidiSettings::kNoInput},
    {MidiRole::Output, "outdev", MidiSettings::kNoOutput},
};

std::string NonEmptyVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}
}  // namespace

std::optional<std::string> SettingsFile::ConfigFolder() {
    std::string folder = NonEmptyVariable("XDG_CONFIG_HOME");
    if (!folder.empty()) return folder;
    const std::string home = NonEmptyVariable("HOME");
    if (home.empty()) return std::nullopt;
    return home + "/.config";
}

std::optional<std::string> SettingsFile::OldCacheFolder() {
    std::string cache = NonEmptyVariable("XDG_CACHE_HOME");
    if (cache.empty()) {
        const std::string home = NonEmptyVariable("HOME");
        if (home.empty()) return std::nullopt;
        cache = home + "/.cache";
    }
    return cache + "/orvo-editor";
}

bool SettingsFile::RemoveOldCacheFolder() {
    const std::optional<std::string> folder = OldCacheFolder();
    if (!folder) return true;
    std::error_code error;
    // Links are removed as links: whatever one points at, inside the folder or outside it, stays.
    // A folder that is itself a link loses the link only.
    std::filesystem::remove_all(*folder, error);
    return !error;
}

bool SettingsFile::Load(MidiSettings& settings) {
    const std::optional<std::string> config = ConfigFolder();
    if (!config) return false;
    std::string folder = *config + "/" + kFolderName;
    std::error_code error;
    if (!std::filesystem::exists(folder, error)) {
        std::filesystem::create_directories(folder, error);
        path_ = folder + "/" + kFileName;
        return true;
    }
    path_ = folder + "/" + kFileName;
    if (!std::filesystem::exists(path_, error)) return true;
    for (const MidiKey& key : kMidiKeys) {
        settings.SetName(key.role, ReadProfileString(path_, kMidiSection, key.key, key.whenAbsent,
                                                     MidiSettings::kNameSize));
        settings.SetChannel(key.role, 1);
    }
    settings.fastInterface =
        ReadProfileString(path_, kMidiSection, kFastInterfaceKey, "0", 8) == "1";
    return true;
}

bool SettingsFile::WriteSettings(const MidiSettings& settings) const {
    if (path_.empty()) return false;
    bool written = true;
    for (const MidiKey& key : kMidiKeys) {
        written =
            WriteProfileString(path_, kMidiSection, key.key, settings.Name(key.role)) && written;
    }
    // A file that never had a fast interface keeps the keys it had.
    const bool present = ReadProfileString(path_, kMidiSection, kFastInterfaceKey, "", 8) != "";
    if (!settings.fastInterface && !present) return written;
    return WriteProfileString(path_, kMidiSection, kFastInterfaceKey,
                              settings.fastInterface ? "1" : "0") &&
           written;
}

std::string SettingsFile::Folder() const {
    const size_t slash = path_.rfind('/');
    return slash == std::string::npos ? std::string() : path_.substr(0, slash);
}
